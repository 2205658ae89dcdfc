#include "TestCodePages.h"

#include <array>
#include <utility>
#include <vector>

namespace revivix::test {

namespace {

#include "CodePageTables.inc"

CodePage Make1251() {
  std::array<char16_t, 256> units{};
  for (int b = 0; b < 256; ++b) units[b] = kCp1251Units[b];
  return CodePage::SingleByte(1251, units);
}

CodePage Make932() {
  std::array<char16_t, 256> units{};
  for (int b = 0; b < 256; ++b) units[b] = kCp932Units[b];
  std::array<bool, 256> leads{};
  for (const unsigned char b : kCp932Leads) leads[b] = true;
  std::vector<std::pair<std::uint16_t, char16_t>> pairs;
  pairs.reserve(std::size(kCp932Pairs));
  for (const auto& pair : kCp932Pairs) pairs.emplace_back(pair[0], static_cast<char16_t>(pair[1]));
  return CodePage::DoubleByte(932, units, leads, pairs, u'\u30FB');
}

}  // namespace

const CodePage& TestCodePage(std::uint32_t id) {
  static const CodePage cp1252 = CodePage::Windows1252();
  static const CodePage cp1251 = Make1251();
  static const CodePage cp932 = Make932();
  if (id == 1251) return cp1251;
  if (id == 932) return cp932;
  return cp1252;
}

}  // namespace revivix::test
