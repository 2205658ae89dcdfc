// One library's profile-string functions (the W forms): the system's own, or the Unicode layer
// of the older Windows family. Strings are UTF-16 on Windows.
#pragma once

#include <cstdint>
#include <string>

namespace revivix {

class ProfileStrings {
 public:
  virtual ~ProfileStrings() = default;
  // Writes at most size - 1 characters and a terminator into `buffer`; returns the count written
  // without the terminator.
  virtual std::uint32_t GetPrivateProfileStringW(const std::wstring& section,
                                                 const std::wstring& key,
                                                 const std::wstring& fallback, wchar_t* buffer,
                                                 std::uint32_t size,
                                                 const std::wstring& fileName) = 0;
  virtual std::int32_t WritePrivateProfileStringW(const std::wstring& section,
                                                  const std::wstring& key,
                                                  const std::wstring& value,
                                                  const std::wstring& fileName) = 0;
};

}  // namespace revivix
