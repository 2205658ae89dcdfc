// Profile strings read by the program's own code, with the lookup rules the language files
// rely on: section and key names match without regard to letter case; the value is the text
// after the first "=" without surrounding blanks, and one pair of enclosing quotation marks is
// removed; a missing file, section or key gives the default; a value that does not fit is cut to
// size - 1 characters. Files with the UTF-16LE byte-order mark are read as UTF-16, others in
// code page 1252.
#pragma once

#include "platform/FileSystem.h"
#include "platform/ProfileStrings.h"

namespace revivix {

class PortableProfileStrings : public ProfileStrings {
 public:
  explicit PortableProfileStrings(FileSystem& files) : files_(files) {}
  std::uint32_t GetPrivateProfileStringW(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& fallback, wchar_t* buffer,
                                         std::uint32_t size, const std::wstring& fileName) override;
  std::int32_t WritePrivateProfileStringW(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& value,
                                          const std::wstring& fileName) override;

 private:
  FileSystem& files_;
};

}  // namespace revivix
