// The profile-string functions of the two libraries the wizard can use: kernel32's own, and the
// Unicode layer (unicows.dll) of the older Windows family, which is loaded only when first used.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "platform/ProfileStrings.h"

namespace revivix::win32 {

class Kernel32ProfileStrings : public ProfileStrings {
 public:
  std::uint32_t GetPrivateProfileStringW(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& fallback, wchar_t* buffer,
                                         std::uint32_t size, const std::wstring& fileName) override;
  std::int32_t WritePrivateProfileStringW(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& value,
                                          const std::wstring& fileName) override;
};

// Where the library or one of its functions is missing, a read gives "" and 0 and a write 0.
class UnicowsProfileStrings : public ProfileStrings {
 public:
  explicit UnicowsProfileStrings(std::wstring libraryName = L"unicows.dll")
      : libraryName_(std::move(libraryName)) {}
  ~UnicowsProfileStrings() override;
  UnicowsProfileStrings(const UnicowsProfileStrings&) = delete;
  UnicowsProfileStrings& operator=(const UnicowsProfileStrings&) = delete;

  std::uint32_t GetPrivateProfileStringW(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& fallback, wchar_t* buffer,
                                         std::uint32_t size, const std::wstring& fileName) override;
  std::int32_t WritePrivateProfileStringW(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& value,
                                          const std::wstring& fileName) override;

  // True once the library has been loaded with both functions.
  bool Loaded() const { return get_ != nullptr && write_ != nullptr; }

 private:
  using GetFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR, DWORD, LPCWSTR);
  using WriteFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR);
  void LoadOnce();

  std::wstring libraryName_;
  bool tried_ = false;
  HMODULE library_ = nullptr;
  GetFn get_ = nullptr;
  WriteFn write_ = nullptr;
};

}  // namespace revivix::win32
