#include "i18n/CLocaleInfo.h"

#include <algorithm>
#include <vector>

namespace revivix {

CLocaleInfo::CLocaleInfo(SystemInfo& system)
    : system_(system),
      ntFamily_(system.Version().platformId == 2),
      unicode_(ntFamily_),
      lcid_(system.SystemDefaultLangID()) {}

void CLocaleInfo::SetUnicode(bool unicode) {
  if (ntFamily_) unicode_ = unicode;
}

int CLocaleInfo::Query(std::uint32_t flags, wchar_t* data, int size) const {
  return unicode_ ? system_.GetLocaleInfoW(lcid_, flags, data, size)
                  : system_.GetLocaleInfoA(lcid_, flags, data, size);
}

std::wstring CLocaleInfo::LocaleInfo(std::uint32_t infoType) const {
  const std::uint32_t flags = infoType | (allowUserOverride_ ? 0 : kLocaleNoUserOverride);
  const int n = Query(flags, nullptr, 0);
  if (n <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(n), L'\0');
  const int m = Query(flags, buffer.data(), n);
  if (m <= 0) return {};
  return std::wstring(buffer.data(), static_cast<std::size_t>(std::min(m, n) - 1));
}

}  // namespace revivix
