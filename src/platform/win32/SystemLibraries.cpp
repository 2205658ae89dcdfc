#include "platform/win32/SystemLibraries.h"

#include <atomic>
#include <cstddef>
#include <string>

namespace revivix::win32 {

namespace {

constexpr std::size_t kLibraries = static_cast<std::size_t>(SystemLibrary::Count);

constexpr const wchar_t* kNames[kLibraries] = {L"setupapi.dll", L"shell32.dll", L"wininet.dll",
                                               L"urlmon.dll",   L"ole32.dll",   L"oleaut32.dll",
                                               L"oleacc.dll"};

// Loaded modules; two threads that load one at once get the same handle back from the loader.
std::atomic<HMODULE> g_modules[kLibraries];

HMODULE Load(SystemLibrary library) {
  const auto index = static_cast<std::size_t>(library);
  HMODULE module = g_modules[index].load(std::memory_order_acquire);
  if (module) return module;
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += kNames[index];
  module = LoadLibraryW(path.c_str());
  if (module) g_modules[index].store(module, std::memory_order_release);
  return module;
}

}  // namespace

const wchar_t* SystemLibraryName(SystemLibrary library) {
  const auto index = static_cast<std::size_t>(library);
  return index < kLibraries ? kNames[index] : L"";
}

FARPROC SystemProcedure(SystemLibrary library, const char* name) {
  if (static_cast<std::size_t>(library) >= kLibraries) return nullptr;
  const HMODULE module = Load(library);
  return module ? GetProcAddress(module, name) : nullptr;
}

bool SystemLibraryLoaded(SystemLibrary library) {
  const auto index = static_cast<std::size_t>(library);
  return index < kLibraries && g_modules[index].load(std::memory_order_acquire) != nullptr;
}

}  // namespace revivix::win32
