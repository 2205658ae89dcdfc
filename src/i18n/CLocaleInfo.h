// Locale information of one locale, by default the system's default language. The wizard uses
// it to preselect the system's language in the language list.
#pragma once

#include <cstdint>
#include <string>

#include "platform/SystemInfo.h"

namespace revivix {

// The locale information the wizard asks for, and the flag that ignores the user's overrides.
inline constexpr std::uint32_t kLocaleLanguageId = 0x0001;  // four hexadecimal digits
inline constexpr std::uint32_t kLocaleEnglishName = 0x1001;
inline constexpr std::uint32_t kLocaleNoUserOverride = 0x80000000u;

class CLocaleInfo {
 public:
  explicit CLocaleInfo(SystemInfo& system);

  bool AllowUserOverride() const { return allowUserOverride_; }
  void SetAllowUserOverride(bool allow) { allowUserOverride_ = allow; }
  std::uint32_t LCID() const { return lcid_; }
  void SetLCID(std::uint32_t lcid) { lcid_ = lcid; }
  // Wide-character (W) or ANSI (A) platform functions; only the NT family can switch.
  bool Unicode() const { return unicode_; }
  void SetUnicode(bool unicode);

  // The information of `infoType` for the locale, or "" when the platform has none.
  std::wstring LocaleInfo(std::uint32_t infoType) const;

 private:
  int Query(std::uint32_t flags, wchar_t* data, int size) const;

  SystemInfo& system_;
  bool ntFamily_;
  bool unicode_;
  std::uint32_t lcid_;
  bool allowUserOverride_ = true;
};

}  // namespace revivix
