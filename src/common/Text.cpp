#include "common/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace revivix {

namespace {

// Code points 0x80..0x9F of code page 1252; 0 marks the five undefined bytes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

wchar_t UpperChar(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  if (u >= 'a' && u <= 'z') return static_cast<wchar_t>(u - 0x20);
  if (u < 0xB5) return c;
  if (u == 0xB5) return static_cast<wchar_t>(0x39C);
  if ((u >= 0xE0 && u <= 0xFE) && u != 0xF7) return static_cast<wchar_t>(u - 0x20);
  if (u == 0xFF) return static_cast<wchar_t>(0x178);
  // Latin Extended-A: lower-case letters follow their capitals, at odd positions up to 0x137
  // and at even positions from 0x139 to 0x148 and 0x179 to 0x17E.
  if (u >= 0x100 && u <= 0x137 && (u & 1)) return static_cast<wchar_t>(u - 1);
  if (((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E)) && !(u & 1))
    return static_cast<wchar_t>(u - 1);
  if (u >= 0x14A && u <= 0x177 && (u & 1)) return static_cast<wchar_t>(u - 1);
  if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return static_cast<wchar_t>(u - 0x20);
  if (u >= 0x430 && u <= 0x44F) return static_cast<wchar_t>(u - 0x20);
  if (u >= 0x450 && u <= 0x45F) return static_cast<wchar_t>(u - 0x50);
  if (u >= 0xFF41 && u <= 0xFF5A) return static_cast<wchar_t>(u - 0x20);  // full-width a-z
  return c;
}

}  // namespace

void AppendCodePoint(std::wstring& out, std::uint32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

std::wstring Trim(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

std::wstring UCase(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = UpperChar(c);
  return out;
}

bool ContainsNoCase(std::wstring_view text, std::wstring_view part) {
  return UCase(text).find(UCase(part)) != std::wstring::npos;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && UCase(a) == UCase(b);
}

std::vector<std::wstring> Split(std::wstring_view text, std::wstring_view separator) {
  std::vector<std::wstring> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  for (;;) {
    const auto at = text.find(separator, start);
    if (at == std::wstring_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
}

double NumericValue(std::wstring_view text) {
  double value = 0;
  double scale = 0;  // 0 while reading the whole part, then 0.1, 0.01, ...
  for (const wchar_t c : text) {
    if (c == L' ' || c == L'\t' || c == L'\n') continue;
    if (c >= L'0' && c <= L'9') {
      if (scale == 0) {
        value = value * 10 + (c - L'0');
      } else {
        value += (c - L'0') * scale;
        scale /= 10;
      }
    } else if (c == L'.' && scale == 0) {
      scale = 0.1;
    } else {
      break;
    }
  }
  return value;
}

std::wstring DecodeUtf16Le(const std::uint8_t* bytes, std::size_t count) {
  std::wstring out;
  out.reserve(count / 2);
  for (std::size_t i = 0; i + 1 < count; i += 2) {
    std::uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
    if constexpr (sizeof(wchar_t) == 4) {
      // Join surrogate pairs into one code point; a lone surrogate is kept as it is.
      if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < count) {
        const std::uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        }
      }
    }
    out.push_back(static_cast<wchar_t>(unit));
  }
  return out;
}

std::wstring DecodeAnsi1252(const std::uint8_t* bytes, std::size_t count) {
  std::wstring out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = bytes[i];
    if (b >= 0x80 && b <= 0x9F && kCp1252High[b - 0x80] != 0)
      out.push_back(static_cast<wchar_t>(kCp1252High[b - 0x80]));
    else
      out.push_back(static_cast<wchar_t>(b));
  }
  return out;
}

std::string EncodeAnsi1252(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto u = static_cast<std::uint32_t>(text[i]);
    // A character beyond the Basic Multilingual Plane becomes one question mark, also where it is
    // a surrogate pair of two units.
    if constexpr (sizeof(wchar_t) == 2) {
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() &&
          static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
          static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF)
        ++i;
    }
    char byte = '?';
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      byte = static_cast<char>(u);
    } else {
      for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == u) byte = static_cast<char>(0x80 + i);
    }
    out.push_back(byte);
  }
  return out;
}

std::uint32_t NextCodePoint(std::wstring_view text, std::size_t& i) {
  std::uint32_t cp = static_cast<std::uint32_t>(text[i++]);
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0xD800 && cp <= 0xDBFF && i < text.size()) {
      const auto low = static_cast<std::uint32_t>(text[i]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
  }
  return cp;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) AppendUtf8(out, NextCodePoint(text, i));
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    std::uint32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4;
    }
    if (len > 1) {
      if (i + len <= text.size()) {
        cp = b & (0xFF >> (len + 1));
        for (std::size_t k = 1; k < len; ++k) {
          const auto cont = static_cast<std::uint8_t>(text[i + k]);
          if ((cont & 0xC0) != 0x80) {
            cp = 0xFFFD;
            len = k;
            break;
          }
          cp = (cp << 6) | (cont & 0x3F);
        }
      } else {
        len = text.size() - i;
      }
    }
    AppendCodePoint(out, cp);
    i += len;
  }
  return out;
}

std::wstring FormatNumber(double value, std::wstring_view format) {
  const std::size_t dot = format.find(L'.');
  const std::wstring_view whole = format.substr(0, dot);
  const std::wstring_view fraction =
      dot == std::wstring_view::npos ? std::wstring_view() : format.substr(dot + 1);
  const auto count = [](std::wstring_view part, wchar_t c) {
    return static_cast<std::size_t>(std::count(part.begin(), part.end(), c));
  };
  const std::size_t places = fraction.size();
  const std::size_t fixedPlaces = count(fraction.substr(0, fraction.find(L'#')), L'0');
  const std::size_t fixedDigits = count(whole, L'0');
  if (!std::isfinite(value)) return L"";

  // The value scaled to whole units of the last place, rounded half away from zero; printed as
  // an integer so that large values keep all their digits.
  const double scaled = std::round(std::fabs(value) * std::pow(10.0, static_cast<double>(places)));
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0f", scaled);
  std::string digits = buffer;
  if (digits.size() < places + 1) digits = std::string(places + 1 - digits.size(), '0') + digits;
  std::string integer = digits.substr(0, digits.size() - places);
  std::string decimals = digits.substr(digits.size() - places);
  const std::size_t firstDigit = integer.find_first_not_of('0');
  integer = firstDigit == std::string::npos ? std::string() : integer.substr(firstDigit);
  if (integer.size() < fixedDigits)
    integer = std::string(fixedDigits - integer.size(), '0') + integer;
  while (decimals.size() > fixedPlaces && decimals.back() == '0') decimals.pop_back();

  std::string text = value < 0 && scaled != 0 ? "-" : "";
  text += integer;
  if (dot != std::wstring_view::npos && (!decimals.empty() || fraction.empty())) text += ".";
  text += decimals;
  return std::wstring(text.begin(), text.end());
}

}  // namespace revivix
