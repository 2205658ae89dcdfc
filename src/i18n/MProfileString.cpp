#include "i18n/MProfileString.h"

#include <algorithm>
#include <cstdint>

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
  // A value cut at the buffer may end in the first half of a surrogate pair (UTF-16): the whole
  // character goes, so that the text never ends in half a character.
  if (!buffer.empty() && buffer.size() + 1 >= static_cast<std::size_t>(size) &&
      static_cast<std::uint32_t>(buffer.back()) >= 0xD800 &&
      static_cast<std::uint32_t>(buffer.back()) <= 0xDBFF)
    buffer.pop_back();
  return buffer;
}

}  // namespace revivix
