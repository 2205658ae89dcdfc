#include "common/CodePage.h"

#include "common/Text.h"

namespace revivix {

namespace {

constexpr char16_t kNoCharacter = 0xFFFF;
constexpr char16_t kReplacement = 0xFFFD;

// Code points 0x80..0x9F of code page 1252; the five bytes it leaves undefined stand for the
// control characters of the same number, as the system's own conversion gives them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the UTF-8 sequence at `bytes[i]` and its code point; 0 when it is no valid,
// shortest-form sequence of a scalar value.
std::size_t Utf8Sequence(const std::uint8_t* bytes, std::size_t count, std::size_t i,
                         std::uint32_t& cp) {
  const std::uint8_t b = bytes[i];
  std::size_t length = 0;
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (count - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((bytes[i + k] & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (bytes[i + k] & 0x3F);
  }
  if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return length;
}

}  // namespace

CodePage::CodePage(std::uint32_t id, Kind kind) : id_(id), kind_(kind) {
  leadIndex_.fill(-1);
}

void CodePage::AddReverse(char16_t unit, std::uint16_t sequence) {
  // The replacement character marks bytes that are no character: nothing encodes to it. Where
  // several sequences stand for one character, the first one (single bytes first) is used.
  if (unit == kReplacement || unit == kNoCharacter) return;
  reverse_.emplace(unit, sequence);
}

CodePage CodePage::SingleByte(std::uint32_t id, const std::array<char16_t, 256>& units) {
  CodePage page(id, Kind::SingleByte);
  page.units_ = units;
  for (int b = 0; b < 256; ++b) page.AddReverse(units[b], static_cast<std::uint16_t>(b));
  return page;
}

CodePage CodePage::DoubleByte(std::uint32_t id, const std::array<char16_t, 256>& units,
                              const std::array<bool, 256>& leads,
                              const std::vector<std::pair<std::uint16_t, char16_t>>& pairs,
                              char16_t defaultChar) {
  CodePage page(id, Kind::DoubleByte);
  page.units_ = units;
  page.defaultChar_ = defaultChar;
  for (int b = 0; b < 256; ++b) {
    if (!leads[b]) continue;
    page.leadIndex_[b] = static_cast<std::int16_t>(page.trails_.size());
    page.trails_.emplace_back();
    page.trails_.back().fill(kNoCharacter);
  }
  for (int b = 0; b < 256; ++b)
    if (!leads[b]) page.AddReverse(units[b], static_cast<std::uint16_t>(b));
  for (const auto& [sequence, unit] : pairs) {
    const int lead = page.leadIndex_[sequence >> 8];
    if (lead < 0) continue;
    page.trails_[static_cast<std::size_t>(lead)][sequence & 0xFF] = unit;
  }
  // Reverse entries in byte order, so that the choice among duplicates does not depend on the
  // order the pairs were given in.
  for (int b = 0; b < 256; ++b) {
    const int lead = page.leadIndex_[b];
    if (lead < 0) continue;
    for (int t = 0; t < 256; ++t)
      page.AddReverse(page.trails_[static_cast<std::size_t>(lead)][t],
                      static_cast<std::uint16_t>(b << 8 | t));
  }
  return page;
}

CodePage CodePage::Utf8() {
  return CodePage(65001, Kind::Utf8);
}

CodePage CodePage::Windows1252() {
  std::array<char16_t, 256> units{};
  for (int b = 0; b < 256; ++b)
    units[b] = b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
  return SingleByte(1252, units);
}

std::wstring CodePage::Decode(std::string_view bytes) const {
  return Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::wstring CodePage::Decode(const std::uint8_t* bytes, std::size_t count,
                              std::vector<std::size_t>* starts) const {
  std::wstring out;
  out.reserve(count);
  if (starts) {
    starts->clear();
    starts->reserve(count + 1);
  }
  const auto mark = [&](std::size_t from, std::size_t units) {
    if (starts) starts->insert(starts->end(), units, from);
  };
  for (std::size_t i = 0; i < count;) {
    const std::size_t before = out.size();
    const std::size_t from = i;
    const std::uint8_t b = bytes[i];
    if (kind_ == Kind::Utf8) {
      std::uint32_t cp = 0;
      const std::size_t length = Utf8Sequence(bytes, count, i, cp);
      if (length == 0) {
        out.push_back(static_cast<wchar_t>(kReplacement));
        ++i;
      } else {
        AppendCodePoint(out, cp);
        i += length;
      }
    } else if (leadIndex_[b] >= 0) {
      const char16_t unit = i + 1 < count
                                ? trails_[static_cast<std::size_t>(leadIndex_[b])][bytes[i + 1]]
                                : kNoCharacter;
      if (unit == kNoCharacter) {
        // A lead byte without a valid trail byte is one unknown character; the next byte
        // starts afresh, so a line end after it is still a line end.
        out.push_back(static_cast<wchar_t>(defaultChar_));
        ++i;
      } else {
        out.push_back(static_cast<wchar_t>(unit));
        i += 2;
      }
    } else {
      out.push_back(static_cast<wchar_t>(units_[b]));
      ++i;
    }
    mark(from, out.size() - before);
  }
  if (starts) starts->push_back(count);
  return out;
}

std::optional<std::string> CodePage::Encode(std::wstring_view text) const {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::uint32_t cp = NextCodePoint(text, i);
    if (kind_ == Kind::Utf8) {
      // Exact: a lone surrogate half has no UTF-8 form.
      if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return std::nullopt;
      AppendUtf8(out, cp);
      continue;
    }
    if (cp > 0xFFFF) return std::nullopt;
    const auto found = reverse_.find(static_cast<char16_t>(cp));
    if (found == reverse_.end()) return std::nullopt;
    if (found->second > 0xFF) out.push_back(static_cast<char>(found->second >> 8));
    out.push_back(static_cast<char>(found->second & 0xFF));
  }
  return out;
}

}  // namespace revivix
