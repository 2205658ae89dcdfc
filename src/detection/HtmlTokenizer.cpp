#include "detection/HtmlTokenizer.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "common/Text.h"

namespace revivix::html {

namespace {

// Character references.

struct Entity {
  const char* name;
  std::uint32_t first;
  std::uint32_t second;
};

constexpr Entity kEntities[] = {
#include "detection/HtmlEntities.inc"
};

constexpr std::size_t kLongestEntityName = 32;

// The longest of the names a browser also reads without their semicolon.
constexpr std::size_t kLongestNameWithoutSemicolon = [] {
  std::size_t longest = 0;
  for (const Entity& e : kEntities) {
    const std::size_t length = std::char_traits<char>::length(e.name);
    if (e.name[length - 1] != ';') longest = std::max(longest, length);
  }
  return longest;
}();

// windows-1252 meanings of numeric references 0x80-0x9F, as browsers read them.
constexpr std::uint16_t kC1Replacements[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

bool IsAsciiAlpha(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool IsAsciiDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}
bool IsAsciiAlnum(wchar_t c) {
  return IsAsciiAlpha(c) || IsAsciiDigit(c);
}
bool IsHexDigit(wchar_t c) {
  return IsAsciiDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}
wchar_t AsciiLower(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

const Entity* FindEntity(std::string_view name) {
  const Entity* end = kEntities + std::size(kEntities);
  const Entity* it = std::lower_bound(
      kEntities, end, name, [](const Entity& e, std::string_view n) { return e.name < n; });
  return (it != end && it->name == name) ? it : nullptr;
}

// Reads the character reference that starts at text[at] == '&'. On success appends its
// characters and returns the position after it; otherwise returns `at` unchanged.
std::size_t ReadCharacterReference(std::wstring_view text, std::size_t at, std::wstring& out) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == L'#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == L'x' || text[i] == L'X');
    if (hex) ++i;
    const std::size_t digits = i;
    std::uint32_t value = 0;
    while (i < text.size() && (hex ? IsHexDigit(text[i]) : IsAsciiDigit(text[i]))) {
      const wchar_t c = text[i];
      const std::uint32_t digit = IsAsciiDigit(c)
                                      ? static_cast<std::uint32_t>(c - L'0')
                                      : static_cast<std::uint32_t>(AsciiLower(c) - L'a' + 10);
      value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
      ++i;
    }
    if (i == digits) return at;  // "&#" or "&#x" without digits stays as it is
    if (i < text.size() && text[i] == L';') ++i;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
      value = 0xFFFD;
    else if (value >= 0x80 && value <= 0x9F)
      value = kC1Replacements[value - 0x80];
    AppendCodePoint(out, value);
    return i;
  }
  // The longest name in the table that the text starts with, with or without its semicolon.
  char name[kLongestEntityName + 2];
  std::size_t length = 0;
  while (length < kLongestEntityName && i + length < text.size() &&
         IsAsciiAlnum(text[i + length])) {
    name[length] = static_cast<char>(text[i + length]);
    ++length;
  }
  // Only the whole run of letters and digits can be followed by the semicolon; shorter names
  // are tried without it, and only as long as the longest name without one.
  if (length > 0 && i + length < text.size() && text[i + length] == L';') {
    name[length] = ';';
    if (const Entity* e = FindEntity(std::string_view(name, length + 1))) {
      AppendCodePoint(out, e->first);
      if (e->second) AppendCodePoint(out, e->second);
      return i + length + 1;
    }
  }
  for (std::size_t k = std::min(length, kLongestNameWithoutSemicolon); k > 0; --k) {
    if (const Entity* e = FindEntity(std::string_view(name, k))) {
      AppendCodePoint(out, e->first);
      if (e->second) AppendCodePoint(out, e->second);
      return i + k;
    }
  }
  return at;
}

bool StartsWithNoCase(std::wstring_view text, std::size_t at, std::wstring_view lowerPrefix) {
  if (at > text.size() || text.size() - at < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
    if (AsciiLower(text[at + i]) != lowerPrefix[i]) return false;
  return true;
}

// Whether a page with this doctype (the text between "<!" and ">") is read in quirks mode, in
// which, among other things, a table does not end an open paragraph.
bool IsQuirksDoctype(std::wstring_view doctype) {
  std::size_t i = 7;  // after "doctype"
  while (i < doctype.size() && IsSpace(doctype[i])) ++i;
  std::wstring name;
  while (i < doctype.size() && !IsSpace(doctype[i])) name.push_back(AsciiLower(doctype[i++]));
  if (name != L"html") return true;
  std::wstring_view rest = doctype.substr(i);
  const auto quoted = [&](std::wstring_view keyword, std::wstring& value) {
    std::size_t at = 0;
    for (; at + keyword.size() <= rest.size(); ++at)
      if (StartsWithNoCase(rest, at, keyword)) break;
    if (at + keyword.size() > rest.size()) return false;
    std::size_t q = at + keyword.size();
    while (q < rest.size() && IsSpace(rest[q])) ++q;
    if (q >= rest.size() || (rest[q] != L'"' && rest[q] != L'\'')) return false;
    const std::size_t close = rest.find(rest[q], q + 1);
    if (close == std::wstring_view::npos) return false;
    value.clear();
    for (std::size_t c = q + 1; c < close; ++c) value.push_back(AsciiLower(rest[c]));
    rest = rest.substr(close + 1);
    return true;
  };
  std::wstring publicId, systemId;
  const bool hasPublic = quoted(L"public", publicId);
  bool hasSystem = false;
  if (hasPublic) {
    while (!rest.empty() && IsSpace(rest.front())) rest.remove_prefix(1);
    if (!rest.empty() && (rest.front() == L'"' || rest.front() == L'\'')) {
      const std::size_t close = rest.find(rest.front(), 1);
      hasSystem = close != std::wstring_view::npos;
    }
  } else {
    hasSystem = quoted(L"system", systemId);
  }
  if (!hasPublic) return false;
  static const wchar_t* const kQuirkPrefixes[] = {L"+//silmaril//",
                                                  L"-//advasoft ltd//",
                                                  L"-//as//",
                                                  L"-//ietf//",
                                                  L"-//metrius//",
                                                  L"-//microsoft//",
                                                  L"-//netscape comm. corp.//",
                                                  L"-//o'reilly and associates//",
                                                  L"-//softquad",
                                                  L"-//spyglass//",
                                                  L"-//sq//",
                                                  L"-//sun microsystems corp.//",
                                                  L"-//w3c//dtd html 2",
                                                  L"-//w3c//dtd html 3",
                                                  L"-//w3c//dtd html 4.0 frameset//",
                                                  L"-//w3c//dtd html 4.0 transitional//",
                                                  L"-//w3c//dtd html experimental",
                                                  L"-//w3c//dtd w3 html//",
                                                  L"-//w3o//",
                                                  L"-//webtechs//"};
  for (const wchar_t* prefix : kQuirkPrefixes)
    if (publicId.rfind(prefix, 0) == 0) return true;
  if (publicId == L"html" || publicId == L"-/w3c/dtd html 4.0 transitional/en") return true;
  if (!hasSystem && (publicId.rfind(L"-//w3c//dtd html 4.01 frameset//", 0) == 0 ||
                     publicId.rfind(L"-//w3c//dtd html 4.01 transitional//", 0) == 0))
    return true;
  return false;
}

class Tokenizer {
 public:
  Tokenizer(std::wstring_view html, TreeBuilder& builder) : in_(html), builder_(builder) {}

  void Run() {
    std::size_t i = 0;
    while (i < in_.size()) {
      const wchar_t c = in_[i];
      if (c == L'&') {
        const std::size_t after = ReadCharacterReference(in_, i, text_);
        if (after == i) {
          text_.push_back(L'&');
          ++i;
        } else {
          i = after;
        }
      } else if (c == L'<') {
        i = Markup(i);
      } else if (c == L'\0') {
        ++i;  // browsers drop NUL characters from text
      } else {
        // A run of plain characters in one step.
        std::size_t end = i + 1;
        while (end < in_.size() && in_[end] != L'&' && in_[end] != L'<' && in_[end] != L'\0') ++end;
        text_.append(in_.substr(i, end - i));
        i = end;
      }
    }
    FlushText();
  }

 private:
  void FlushText() {
    if (text_.empty()) return;
    if (!sawDoctype_) {
      // Anything before a doctype puts the page in quirks mode.
      if (!std::all_of(text_.begin(), text_.end(), IsSpace)) NoDoctype();
    }
    builder_.Text(text_);
    text_.clear();
  }

  void NoDoctype() {
    if (!sawDoctype_) {
      sawDoctype_ = true;
      builder_.SetQuirks(true);
    }
  }

  // Markup at in_[at] == '<'; returns the position after it.
  std::size_t Markup(std::size_t at) {
    const std::size_t n = in_.size();
    const std::size_t next = at + 1;
    if (next < n && in_[next] == L'!') {
      FlushText();
      if (in_.compare(next + 1, 2, L"--") == 0) return Comment(next + 3);
      const std::size_t close = in_.find(L'>', next);
      const std::size_t end = close == std::wstring_view::npos ? n : close;
      if (StartsWithNoCase(in_, next + 1, L"doctype")) {
        if (!sawDoctype_ && !builder_.Started()) {
          sawDoctype_ = true;
          builder_.SetQuirks(IsQuirksDoctype(in_.substr(next + 1, end - next - 1)));
        }
      }
      return close == std::wstring_view::npos ? n : close + 1;
    }
    if (next < n && in_[next] == L'?') {
      FlushText();
      const std::size_t close = in_.find(L'>', next);
      return close == std::wstring_view::npos ? n : close + 1;
    }
    if (next < n && in_[next] == L'/') {
      if (next + 1 < n && IsAsciiAlpha(in_[next + 1])) {
        FlushText();
        return Tag(next + 1, true);
      }
      if (next + 1 < n && in_[next + 1] == L'>') {
        FlushText();
        return next + 2;  // "</>" is dropped
      }
      if (next + 1 >= n) {
        text_.append(L"</");
        return n;
      }
      FlushText();
      const std::size_t close = in_.find(L'>', next);
      return close == std::wstring_view::npos ? n : close + 1;
    }
    if (next < n && IsAsciiAlpha(in_[next])) {
      FlushText();
      return Tag(next, false);
    }
    text_.push_back(L'<');
    return next;
  }

  std::size_t Comment(std::size_t body) {
    const std::size_t n = in_.size();
    if (body < n && in_[body] == L'>') return body + 1;                               // "<!-->"
    if (body + 1 < n && in_[body] == L'-' && in_[body + 1] == L'>') return body + 2;  // "<!--->"
    for (std::size_t i = body; i < n; ++i) {
      if (in_[i] != L'-') continue;
      if (in_.compare(i, 3, L"-->") == 0) return i + 3;
      if (in_.compare(i, 4, L"--!>") == 0) return i + 4;
    }
    return n;
  }

  // A start or end tag whose name starts at `at`.
  std::size_t Tag(std::size_t at, bool end) {
    const std::size_t n = in_.size();
    std::wstring name;
    std::size_t i = at;
    while (i < n && !IsSpace(in_[i]) && in_[i] != L'/' && in_[i] != L'>') {
      const wchar_t c = in_[i++];
      name.push_back(c == L'\0' ? L'\xFFFD' : AsciiLower(c));
    }
    bool hidden = false, typeHidden = false;
    // Attributes: only whether "hidden" is there and whether "type" is "hidden" matter here.
    while (true) {
      while (i < n && (IsSpace(in_[i]) || in_[i] == L'/')) ++i;
      if (i >= n) return n;  // a tag cut off by the end of the page is dropped
      if (in_[i] == L'>') {
        ++i;
        break;
      }
      std::wstring attribute;
      do {
        attribute.push_back(AsciiLower(in_[i]));
        ++i;
      } while (i < n && !IsSpace(in_[i]) && in_[i] != L'/' && in_[i] != L'>' && in_[i] != L'=');
      while (i < n && IsSpace(in_[i])) ++i;
      std::wstring_view value;
      if (i < n && in_[i] == L'=') {
        ++i;
        while (i < n && IsSpace(in_[i])) ++i;
        if (i >= n) return n;
        if (in_[i] == L'"' || in_[i] == L'\'') {
          const std::size_t close = in_.find(in_[i], i + 1);
          if (close == std::wstring_view::npos) return n;
          value = in_.substr(i + 1, close - i - 1);
          i = close + 1;
        } else {
          const std::size_t start = i;
          while (i < n && !IsSpace(in_[i]) && in_[i] != L'>') ++i;
          value = in_.substr(start, i - start);
        }
      }
      if (seenAttributes_.size() > 64) continue;  // only the first of equal names counts
      if (std::find(seenAttributes_.begin(), seenAttributes_.end(), attribute) !=
          seenAttributes_.end())
        continue;
      seenAttributes_.push_back(attribute);
      if (attribute == L"hidden") hidden = true;
      if (attribute == L"type" && value.size() == 6 && StartsWithNoCase(value, 0, L"hidden"))
        typeHidden = true;
    }
    seenAttributes_.clear();
    if (end) {
      builder_.EndTag(name);
      return i;
    }
    if (!sawDoctype_) NoDoctype();
    const int tag = builder_.StartTag(name, hidden, typeHidden);
    const TagInfo* info = FindTagInfo(name);
    if (tag == kPlaintext) {
      builder_.Text(in_.substr(i));
      return n;
    }
    if (info && (info->flags & kRawText) && builder_.CurrentTag() == tag) {
      // Raw text up to the element's own end tag; title and textarea also decode references.
      const std::size_t close = FindEndTag(i, name);
      const std::wstring_view raw = in_.substr(i, close - i);
      if (tag == kTitle || tag == kTextarea) {
        std::wstring decoded;
        for (std::size_t k = 0; k < raw.size();) {
          const std::size_t after = raw[k] == L'&' ? ReadCharacterReference(raw, k, decoded) : k;
          if (after == k)
            decoded.push_back(raw[k++]);
          else
            k = after;
        }
        builder_.Text(decoded);
      } else {
        builder_.Text(raw);
      }
      return close;
    }
    return i;
  }

  // The position of "</name" that ends a raw-text element, or the end of the page.
  std::size_t FindEndTag(std::size_t from, const std::wstring& name) const {
    std::size_t i = from;
    while ((i = in_.find(L"</", i)) != std::wstring_view::npos) {
      const std::size_t after = i + 2 + name.size();
      if (StartsWithNoCase(in_, i + 2, name) &&
          (after >= in_.size() || IsSpace(in_[after]) || in_[after] == L'/' || in_[after] == L'>'))
        return i;
      i += 2;
    }
    return in_.size();
  }

  std::wstring_view in_;
  TreeBuilder& builder_;
  std::wstring text_;
  std::vector<std::wstring> seenAttributes_;
  bool sawDoctype_ = false;
};

}  // namespace

void Tokenize(std::wstring_view html, TreeBuilder& builder) {
  Tokenizer(html, builder).Run();
}

}  // namespace revivix::html
