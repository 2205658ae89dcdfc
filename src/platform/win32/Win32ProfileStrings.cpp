#include "platform/win32/Win32ProfileStrings.h"

namespace revivix::win32 {

std::uint32_t Kernel32ProfileStrings::GetPrivateProfileStringW(const std::wstring& section,
                                                               const std::wstring& key,
                                                               const std::wstring& fallback,
                                                               wchar_t* buffer, std::uint32_t size,
                                                               const std::wstring& fileName) {
  return ::GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                    static_cast<DWORD>(size), fileName.c_str());
}

std::int32_t Kernel32ProfileStrings::WritePrivateProfileStringW(const std::wstring& section,
                                                                const std::wstring& key,
                                                                const std::wstring& value,
                                                                const std::wstring& fileName) {
  return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                      fileName.c_str());
}

UnicowsProfileStrings::~UnicowsProfileStrings() {
  if (library_) FreeLibrary(library_);
}

void UnicowsProfileStrings::LoadOnce() {
  if (tried_) return;
  tried_ = true;
  library_ = LoadLibraryW(libraryName_.c_str());
  if (!library_) return;
  // GetProcAddress returns a generic function pointer; the W functions' signatures are fixed.
  get_ = reinterpret_cast<GetFn>(
      reinterpret_cast<void*>(GetProcAddress(library_, "GetPrivateProfileStringW")));
  write_ = reinterpret_cast<WriteFn>(
      reinterpret_cast<void*>(GetProcAddress(library_, "WritePrivateProfileStringW")));
}

std::uint32_t UnicowsProfileStrings::GetPrivateProfileStringW(const std::wstring& section,
                                                              const std::wstring& key,
                                                              const std::wstring& fallback,
                                                              wchar_t* buffer, std::uint32_t size,
                                                              const std::wstring& fileName) {
  LoadOnce();
  if (!get_) {
    if (buffer && size > 0) buffer[0] = L'\0';
    return 0;
  }
  return get_(section.c_str(), key.c_str(), fallback.c_str(), buffer, static_cast<DWORD>(size),
              fileName.c_str());
}

std::int32_t UnicowsProfileStrings::WritePrivateProfileStringW(const std::wstring& section,
                                                               const std::wstring& key,
                                                               const std::wstring& value,
                                                               const std::wstring& fileName) {
  LoadOnce();
  if (!write_) return 0;
  return write_(section.c_str(), key.c_str(), value.c_str(), fileName.c_str());
}

}  // namespace revivix::win32
