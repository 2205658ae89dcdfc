// The system libraries loaded at their first use: from the system folder, once, with the types of
// the system headers, and null for what does not exist. This program imports none of oleacc's
// functions, so the library is not there until the first lookup.
#include <windows.h>

#include <oleacc.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Text.h"
#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {
namespace {

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, n);
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, n);
}

TEST(SystemLibraries, AreLoadedFromTheSystemFolderAtTheFirstLookup) {
  ASSERT_EQ(GetModuleHandleW(L"oleacc.dll"), nullptr) << "already loaded before the lookup";
  EXPECT_FALSE(SystemLibraryLoaded(SystemLibrary::OleAcc));
  auto* create = REVIVIX_SYSTEM_FUNCTION(OleAcc, CreateStdAccessibleObject);
  ASSERT_NE(create, nullptr);
  EXPECT_TRUE(SystemLibraryLoaded(SystemLibrary::OleAcc));
  const HMODULE module = GetModuleHandleW(L"oleacc.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(EqualsNoCase(ModulePath(module), SystemFolder() + L"\\oleacc.dll"))
      << ToUtf8(ModulePath(module));
  // The same address as the library's own export, and the same on the next lookup.
  EXPECT_EQ(SystemProcedure(SystemLibrary::OleAcc, "CreateStdAccessibleObject"),
            GetProcAddress(module, "CreateStdAccessibleObject"));
  EXPECT_EQ(REVIVIX_SYSTEM_FUNCTION(OleAcc, CreateStdAccessibleObject), create);
}

TEST(SystemLibraries, AFunctionThatDoesNotExistIsNull) {
  EXPECT_EQ(SystemProcedure(SystemLibrary::Shell32, "RevivixNoSuchFunction"), nullptr);
  EXPECT_EQ(SystemProcedure(SystemLibrary::Count, "ShellExecuteW"), nullptr);
  EXPECT_STREQ(SystemLibraryName(SystemLibrary::WinInet), L"wininet.dll");
}

// Called many times through the typed pointer: a wrong calling convention (the 32-bit program's
// functions are stdcall) would unbalance the stack long before the end.
TEST(SystemLibraries, TypedCallsWorkRepeatedly) {
  auto* open = REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenW);
  auto* close = REVIVIX_SYSTEM_FUNCTION(WinInet, InternetCloseHandle);
  ASSERT_NE(open, nullptr);
  ASSERT_NE(close, nullptr);
  for (int i = 0; i < 200; ++i) {
    HINTERNET session = open(L"Revivix test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr) << i;
    EXPECT_TRUE(close(session)) << i;
  }
}

}  // namespace
}  // namespace revivix::win32
