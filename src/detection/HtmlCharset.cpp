#include "detection/HtmlCharset.h"

#include <algorithm>
#include <cstdint>

#include "common/Text.h"

namespace revivix {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerTrimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  std::string out;
  out.reserve(text.size());
  for (const char c : text) out.push_back(Lower(c));
  return out;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
  if (at > text.size() || text.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[at + i]) != prefix[i]) return false;
  return true;
}

// The charset parameter of a Content-Type value, or "" when there is none.
std::string_view CharsetParameter(std::string_view contentType) {
  std::size_t at = contentType.find(';');
  while (at != std::string_view::npos) {
    std::size_t start = at + 1;
    const std::size_t end = std::min(contentType.find(';', start), contentType.size());
    while (start < end && IsSpace(contentType[start])) ++start;
    if (StartsWithNoCase(contentType, start, "charset")) {
      std::size_t value = start + 7;
      while (value < end && IsSpace(contentType[value])) ++value;
      if (value < end && contentType[value] == '=') {
        ++value;
        while (value < end && IsSpace(contentType[value])) ++value;
        std::string_view label = contentType.substr(value, end - value);
        if (!label.empty() && (label.front() == '"' || label.front() == '\'')) {
          const char quote = label.front();
          label.remove_prefix(1);
          label = label.substr(0, label.find(quote));
        }
        return label;
      }
    }
    at = end < contentType.size() ? end : std::string_view::npos;
  }
  return {};
}

// The charset named in a meta element's content attribute ("text/html; charset=utf-8").
std::string_view CharsetInMetaContent(std::string_view content) {
  std::size_t at = 0;
  while (true) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = at; i + 7 <= content.size(); ++i)
      if (StartsWithNoCase(content, i, "charset")) {
        found = i;
        break;
      }
    if (found == std::string_view::npos) return {};
    std::size_t i = found + 7;
    while (i < content.size() && IsSpace(content[i])) ++i;
    if (i >= content.size() || content[i] != '=') {
      at = i;
      continue;
    }
    ++i;
    while (i < content.size() && IsSpace(content[i])) ++i;
    if (i >= content.size()) return {};
    if (content[i] == '"' || content[i] == '\'') {
      const std::size_t close = content.find(content[i], i + 1);
      if (close == std::string_view::npos) return {};
      return content.substr(i + 1, close - i - 1);
    }
    std::size_t end = i;
    while (end < content.size() && !IsSpace(content[end]) && content[end] != ';') ++end;
    return content.substr(i, end - i);
  }
}

struct Attribute {
  std::string name;
  std::string_view value;
};

// One attribute of a tag during the pre-scan, or false at the tag's end.
bool NextAttribute(std::string_view bytes, std::size_t& i, Attribute& attribute) {
  while (i < bytes.size() && (IsSpace(bytes[i]) || bytes[i] == '/')) ++i;
  if (i >= bytes.size() || bytes[i] == '>') return false;
  attribute.name.clear();
  attribute.value = {};
  do {
    attribute.name.push_back(Lower(bytes[i]));
    ++i;
  } while (i < bytes.size() && bytes[i] != '=' && !IsSpace(bytes[i]) && bytes[i] != '/' &&
           bytes[i] != '>');
  while (i < bytes.size() && IsSpace(bytes[i])) ++i;
  if (i >= bytes.size() || bytes[i] != '=') return true;
  ++i;
  while (i < bytes.size() && IsSpace(bytes[i])) ++i;
  if (i >= bytes.size()) return true;
  if (bytes[i] == '"' || bytes[i] == '\'') {
    const std::size_t close = bytes.find(bytes[i], i + 1);
    if (close == std::string_view::npos) {
      i = bytes.size();  // cut off: the scan ends here
      return false;
    }
    attribute.value = bytes.substr(i + 1, close - i - 1);
    i = close + 1;
    return true;
  }
  if (bytes[i] == '>') return true;
  const std::size_t start = i;
  while (i < bytes.size() && !IsSpace(bytes[i]) && bytes[i] != '>') ++i;
  attribute.value = bytes.substr(start, i - start);
  return true;
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The browsers' pre-scan of the page's start for a meta element that declares the encoding.
bool PrescanForMeta(std::string_view bytes, HtmlCharset& charset) {
  bytes = bytes.substr(0, std::min<std::size_t>(bytes.size(), 1024));
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes.compare(i, 4, "<!--") == 0) {
      const std::size_t close = bytes.find("-->", i + 2);
      if (close == std::string_view::npos) return false;
      i = close + 3;
    } else if (StartsWithNoCase(bytes, i, "<meta") && i + 5 < bytes.size() &&
               (IsSpace(bytes[i + 5]) || bytes[i + 5] == '/')) {
      i += 5;
      bool gotPragma = false, needPragma = false, haveCharset = false;
      bool seenHttpEquiv = false, seenContent = false, seenCharset = false;
      HtmlCharset found = HtmlCharset::Windows1252;
      Attribute attribute;
      while (NextAttribute(bytes, i, attribute)) {
        if (attribute.name == "http-equiv" && !seenHttpEquiv) {
          seenHttpEquiv = true;
          if (LowerTrimmed(attribute.value) == "content-type") gotPragma = true;
        } else if (attribute.name == "content" && !seenContent) {
          seenContent = true;
          const std::string_view label = CharsetInMetaContent(attribute.value);
          if (!haveCharset && !label.empty()) {
            haveCharset = HtmlCharsetFromLabel(label, found);
            needPragma = true;
            if (!haveCharset) needPragma = false;
          }
        } else if (attribute.name == "charset" && !seenCharset) {
          seenCharset = true;
          haveCharset = HtmlCharsetFromLabel(attribute.value, found);
          needPragma = false;
        }
      }
      if (i >= bytes.size()) return false;  // a meta element cut off declares nothing
      if (haveCharset && (!needPragma || gotPragma)) {
        // A page cannot really be UTF-16 when its ASCII markup could be read as bytes.
        if (found == HtmlCharset::Utf16Le || found == HtmlCharset::Utf16Be)
          found = HtmlCharset::Utf8;
        charset = found;
        return true;
      }
    } else if (bytes[i] == '<' && i + 1 < bytes.size() &&
               (IsAsciiLetter(bytes[i + 1]) ||
                (bytes[i + 1] == '/' && i + 2 < bytes.size() && IsAsciiLetter(bytes[i + 2])))) {
      ++i;
      while (i < bytes.size() && !IsSpace(bytes[i]) && bytes[i] != '>') ++i;
      Attribute attribute;
      while (NextAttribute(bytes, i, attribute)) {
      }
    } else if (bytes[i] == '<' && i + 1 < bytes.size() &&
               (bytes[i + 1] == '!' || bytes[i + 1] == '/' || bytes[i + 1] == '?')) {
      const std::size_t close = bytes.find('>', i + 1);
      if (close == std::string_view::npos) return false;
      i = close + 1;
    } else {
      ++i;
    }
  }
  return false;
}

// UTF-8 as browsers decode it: every maximal invalid subpart becomes one U+FFFD.
std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
      continue;
    }
    std::size_t need = 0;
    std::uint32_t cp = 0;
    std::uint8_t lower = 0x80, upper = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lower = 0xA0;
      if (b == 0xED) upper = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lower = 0x90;
      if (b == 0xF4) upper = 0x8F;
    } else {
      out.push_back(L'\xFFFD');
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (std::size_t k = 0; k < need; ++k, ++j) {
      if (j >= bytes.size()) {
        ok = false;
        break;
      }
      const auto c = static_cast<std::uint8_t>(bytes[j]);
      if (c < lower || c > upper) {
        ok = false;
        break;
      }
      lower = 0x80;
      upper = 0xBF;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (ok) {
      AppendCodePoint(out, cp);
    } else {
      out.push_back(L'\xFFFD');
    }
    i = j;
  }
  return out;
}

std::wstring DecodeUtf16(std::string_view bytes, bool littleEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2 + 1);
  const auto unit = [&](std::size_t at) {
    const auto a = static_cast<std::uint8_t>(bytes[at]);
    const auto b = static_cast<std::uint8_t>(bytes[at + 1]);
    return static_cast<std::uint32_t>(littleEndian ? (a | (b << 8)) : ((a << 8) | b));
  };
  std::size_t i = 0;
  while (i + 1 < bytes.size()) {
    const std::uint32_t u = unit(i);
    i += 2;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < bytes.size()) {
        const std::uint32_t low = unit(i);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          i += 2;
          AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
          continue;
        }
      }
      out.push_back(L'\xFFFD');
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      out.push_back(L'\xFFFD');
    } else {
      out.push_back(static_cast<wchar_t>(u));
    }
  }
  if (i < bytes.size()) out.push_back(L'\xFFFD');  // a lone last byte
  return out;
}

}  // namespace

bool HtmlCharsetFromLabel(std::string_view label, HtmlCharset& charset) {
  struct Entry {
    const char* label;
    HtmlCharset charset;
  };
  static constexpr Entry kLabels[] = {
      {"unicode-1-1-utf-8", HtmlCharset::Utf8},
      {"unicode11utf8", HtmlCharset::Utf8},
      {"unicode20utf8", HtmlCharset::Utf8},
      {"utf-8", HtmlCharset::Utf8},
      {"utf8", HtmlCharset::Utf8},
      {"x-unicode20utf8", HtmlCharset::Utf8},
      {"ansi_x3.4-1968", HtmlCharset::Windows1252},
      {"ascii", HtmlCharset::Windows1252},
      {"cp1252", HtmlCharset::Windows1252},
      {"cp819", HtmlCharset::Windows1252},
      {"csisolatin1", HtmlCharset::Windows1252},
      {"ibm819", HtmlCharset::Windows1252},
      {"iso-8859-1", HtmlCharset::Windows1252},
      {"iso-ir-100", HtmlCharset::Windows1252},
      {"iso8859-1", HtmlCharset::Windows1252},
      {"iso88591", HtmlCharset::Windows1252},
      {"iso_8859-1", HtmlCharset::Windows1252},
      {"iso_8859-1:1987", HtmlCharset::Windows1252},
      {"l1", HtmlCharset::Windows1252},
      {"latin1", HtmlCharset::Windows1252},
      {"us-ascii", HtmlCharset::Windows1252},
      {"windows-1252", HtmlCharset::Windows1252},
      {"x-cp1252", HtmlCharset::Windows1252},
      {"csunicode", HtmlCharset::Utf16Le},
      {"iso-10646-ucs-2", HtmlCharset::Utf16Le},
      {"ucs-2", HtmlCharset::Utf16Le},
      {"unicode", HtmlCharset::Utf16Le},
      {"unicodefeff", HtmlCharset::Utf16Le},
      {"utf-16", HtmlCharset::Utf16Le},
      {"utf-16le", HtmlCharset::Utf16Le},
      {"unicodefffe", HtmlCharset::Utf16Be},
      {"utf-16be", HtmlCharset::Utf16Be},
  };
  const std::string wanted = LowerTrimmed(label);
  for (const Entry& entry : kLabels)
    if (wanted == entry.label) {
      charset = entry.charset;
      return true;
    }
  return false;
}

HtmlCharset DetectHtmlCharset(std::string_view bytes, std::string_view contentType) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return HtmlCharset::Utf8;
  if (bytes.substr(0, 2) == "\xFF\xFE") return HtmlCharset::Utf16Le;
  if (bytes.substr(0, 2) == "\xFE\xFF") return HtmlCharset::Utf16Be;
  HtmlCharset charset = HtmlCharset::Windows1252;
  if (HtmlCharsetFromLabel(CharsetParameter(contentType), charset)) return charset;
  if (PrescanForMeta(bytes, charset)) return charset;
  return HtmlCharset::Windows1252;
}

std::wstring DecodeHtmlBytes(std::string_view bytes, std::string_view contentType) {
  const HtmlCharset charset = DetectHtmlCharset(bytes, contentType);
  switch (charset) {
    case HtmlCharset::Utf8:
      if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
      return DecodeUtf8(bytes);
    case HtmlCharset::Utf16Le:
      if (bytes.substr(0, 2) == "\xFF\xFE") bytes.remove_prefix(2);
      return DecodeUtf16(bytes, true);
    case HtmlCharset::Utf16Be:
      if (bytes.substr(0, 2) == "\xFE\xFF") bytes.remove_prefix(2);
      return DecodeUtf16(bytes, false);
    case HtmlCharset::Windows1252:
      break;
  }
  return DecodeAnsi1252(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace revivix
