// The folder calls on the real file system under Wine: a held file refuses every other writer,
// rename and delete with a sharing violation; a pinned folder cannot be renamed or removed; links
// are told by their name and never removed through their target; the descriptors are written,
// and what Wine reports back of them is printed (it keeps none: it shows a descriptor made from
// the Unix owner and mode bits).
//   arguments: a folder made by the fixture holding "target\old.exe", an empty "emptytarget", and
//   the Unix symbolic links "link" and "emptylink" to them
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "common/Text.h"
#include "driver/FolderCopy.h"
#include "driver/Paths.h"
#include "platform/win32/Win32FolderGuard.h"

namespace revivix::win32 {
namespace {

struct Scratch {
  Scratch() { folder = driver::MakeTemporaryFolder(L"revivix-folder-guard-"); }
  ~Scratch() { driver::RemoveFolder(folder); }
  std::wstring folder;
};

bool Write(const std::wstring& path, const char* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
  return ok != FALSE;
}

// The error of another opener's attempt: 0 when it succeeded.
DWORD OpenError(const std::wstring& path, DWORD access) {
  HANDLE file =
      CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(file);
  return 0;
}

std::string Descriptor(const std::wstring& path) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS)
    return "(none)";
  LPWSTR text = nullptr;
  std::string out = "(unreadable)";
  if (ConvertSecurityDescriptorToStringSecurityDescriptorW(
          sd, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text,
          nullptr)) {
    out.clear();
    for (const wchar_t* c = text; *c; ++c) out += static_cast<char>(*c < 0x80 ? *c : '?');
    LocalFree(text);
  }
  LocalFree(sd);
  return out;
}

TEST(FolderGuard, AHeldFileRefusesWritersRenameAndDeleteAndReadsThroughTheHold) {
  Scratch scratch;
  Win32FolderGuard guard;
  const std::wstring file = scratch.folder + L"\\updater.exe";
  ASSERT_TRUE(Write(file, "MZ checked"));
  {
    const auto hold = guard.Hold(file);
    ASSERT_NE(hold, nullptr);
    EXPECT_EQ(OpenError(file, GENERIC_WRITE), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileExW(file.c_str(), (file + L".moved").c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileW(file.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(OpenError(file, GENERIC_READ), 0u);  // readers, the shell's start among them
    const auto bytes = hold->ReadAll();
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "MZ checked");
  }
  EXPECT_EQ(OpenError(file, GENERIC_WRITE), 0u);  // released

  // A file another program has open for writing cannot be held.
  HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(guard.Hold(file), nullptr);
  CloseHandle(writer);
  // Neither can a folder.
  EXPECT_EQ(guard.Hold(scratch.folder), nullptr);
}

TEST(FolderGuard, APinnedFolderCannotBeRenamedOrRemovedButIsWorkedIn) {
  Scratch scratch;
  Win32FolderGuard guard;
  const std::wstring fw = scratch.folder + L"\\FW";
  ASSERT_TRUE(guard.CreateProtectedFolder(fw));
  EXPECT_EQ(guard.Examine(fw), FolderGuard::Kind::Folder);
  std::printf("descriptor read back after the creation: %s\n", Descriptor(fw).c_str());
  {
    const auto pin = guard.HoldFolder(fw);
    ASSERT_NE(pin, nullptr);
    EXPECT_FALSE(MoveFileExW(fw.c_str(), (fw + L"-moved").c_str(), 0));
    EXPECT_EQ(GetFileAttributesW((fw + L"-moved").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(RemoveDirectoryW(fw.c_str()));
    EXPECT_EQ(guard.Examine(fw), FolderGuard::Kind::Folder);
    // Inside, the wizard works as before: a file, a read-only one, a subfolder.
    ASSERT_TRUE(Write(fw + L"\\version.dll", "planted"));
    ASSERT_TRUE(Write(fw + L"\\readonly.dll", "planted"));
    ASSERT_TRUE(SetFileAttributesW((fw + L"\\readonly.dll").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW((fw + L"\\sub").c_str(), nullptr));
    const auto names = guard.List(fw);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->size(), 3u);
    EXPECT_EQ(guard.Examine(fw + L"\\sub"), FolderGuard::Kind::Folder);
    EXPECT_EQ(guard.Examine(fw + L"\\version.dll"), FolderGuard::Kind::File);
    EXPECT_TRUE(guard.RemoveFile(fw + L"\\version.dll"));
    EXPECT_TRUE(guard.RemoveFile(fw + L"\\readonly.dll"));
    EXPECT_TRUE(guard.RemoveFolder(fw + L"\\sub"));
    EXPECT_EQ(guard.List(fw),
              std::optional<std::vector<std::wstring>>(std::vector<std::wstring>{}));
    EXPECT_TRUE(guard.ApplyProtection(fw));
    std::printf("descriptor read back after the protection: %s; others may write: %s\n",
                Descriptor(fw).c_str(), guard.OthersMayWrite(fw) ? "yes" : "no");
  }
  EXPECT_TRUE(MoveFileExW(fw.c_str(), (fw + L"-moved").c_str(), 0));  // unpinned
  EXPECT_EQ(guard.Examine(fw), FolderGuard::Kind::Missing);
}

TEST(FolderGuard, LinksAreToldByNameAndNeverRemovedThroughTheirTarget) {
  const std::string argument = wintest::Argument(0);
  ASSERT_FALSE(argument.empty()) << "the first argument names the fixture's folder of links";
  const std::wstring base = driver::WindowsPath(argument);
  Win32FolderGuard guard;
  for (const wchar_t* name : {L"link", L"emptylink"}) {
    const std::wstring link = base + L"\\" + name;
    std::printf("%ls: attributes 0x%lx\n", name, GetFileAttributesW(link.c_str()));
    EXPECT_EQ(guard.Examine(link), FolderGuard::Kind::Link) << ToUtf8(name);
    EXPECT_EQ(guard.HoldFolder(link), nullptr);  // never pinned, so never worked in
    EXPECT_TRUE(guard.OthersMayWrite(link));
    const bool removed = guard.RemoveLink(link);
    std::printf("%ls: removed as a link: %s\n", name, removed ? "yes" : "no");
    EXPECT_EQ(guard.Examine(link), removed ? FolderGuard::Kind::Missing : FolderGuard::Kind::Link);
  }
  // What the links point at is untouched, the empty folder included.
  EXPECT_EQ(guard.Examine(base + L"\\target\\old.exe"), FolderGuard::Kind::File);
  EXPECT_EQ(guard.Examine(base + L"\\emptytarget"), FolderGuard::Kind::Folder);
}

}  // namespace
}  // namespace revivix::win32
