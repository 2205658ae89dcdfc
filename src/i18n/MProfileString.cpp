#include "i18n/MProfileString.h"

#include <algorithm>

#include "i18n/MWin32.h"

namespace revivix {

std::wstring GetIniString(Program& program, const std::wstring& section, const std::wstring& key,
                          const std::wstring& fallback, std::int32_t size,
                          const std::wstring& fileName) {
  if (size <= 0) return {};
  std::wstring buffer(static_cast<std::size_t>(size), L'\0');
  const std::int32_t n =
      GetWinAPI(program).GetPrivateProfileString(section, key, fallback, buffer, size, fileName);
  buffer.resize(static_cast<std::size_t>(std::clamp(n, 0, size)));
  return buffer;
}

}  // namespace revivix
