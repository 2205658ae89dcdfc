#include "platform/win32/Win32CodePage.h"

#include <array>
#include <utility>
#include <vector>

namespace revivix::win32 {

namespace {

// The character of one byte sequence, or 0xFFFF when the system refuses it as invalid.
char16_t Convert(UINT id, const char* bytes, int count) {
  wchar_t out[2] = {};
  const int n = MultiByteToWideChar(id, MB_ERR_INVALID_CHARS, bytes, count, out, 2);
  return n == 1 ? static_cast<char16_t>(out[0]) : char16_t{0xFFFF};
}

}  // namespace

CodePage LoadCodePage(UINT id) {
  CPINFOEXW info{};
  if (!GetCPInfoExW(id, 0, &info)) return CodePage::Windows1252();
  if (info.CodePage == CP_UTF8) return CodePage::Utf8();
  const UINT page = info.CodePage;

  std::array<bool, 256> leads{};
  for (int r = 0; r + 1 < MAX_LEADBYTES && info.LeadByte[r] != 0; r += 2)
    for (int b = info.LeadByte[r]; b <= info.LeadByte[r + 1]; ++b) leads[b] = true;

  std::array<char16_t, 256> units{};
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const char16_t unit = leads[b] ? char16_t{0xFFFF} : Convert(page, &byte, 1);
    units[b] = unit == 0xFFFF ? char16_t{0xFFFD} : unit;
  }
  if (info.MaxCharSize < 2) return CodePage::SingleByte(page, units);

  std::vector<std::pair<std::uint16_t, char16_t>> pairs;
  for (int lead = 0; lead < 256; ++lead) {
    if (!leads[lead]) continue;
    for (int trail = 1; trail < 256; ++trail) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const char16_t unit = Convert(page, bytes, 2);
      if (unit != 0xFFFF) pairs.emplace_back(static_cast<std::uint16_t>(lead << 8 | trail), unit);
    }
  }
  return CodePage::DoubleByte(page, units, leads, pairs,
                              static_cast<char16_t>(info.UnicodeDefaultChar));
}

}  // namespace revivix::win32
