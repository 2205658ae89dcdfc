#include "app/WebAddress.h"

namespace revivix {

namespace {

bool IsAsciiAlnum(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    wchar_t c = text[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// Reads a host name (dot-separated labels of letters, digits and inner hyphens) from the start
// of `text`; returns its length, 0 when there is none. `dots` receives the number of dots.
std::size_t HostLength(std::wstring_view text, int& dots) {
  dots = 0;
  std::size_t i = 0;
  for (;;) {
    const std::size_t labelStart = i;
    while (i < text.size() && (IsAsciiAlnum(text[i]) || text[i] == L'-')) ++i;
    if (i == labelStart || text[labelStart] == L'-' || text[i - 1] == L'-') return 0;
    if (i < text.size() && text[i] == L'.') {
      ++dots;
      ++i;
      continue;
    }
    return i;
  }
}

bool HasDotSegment(std::wstring_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of(L"/?#", start);
    const std::wstring_view segment =
        path.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
    if (segment == L"." || segment == L"..") return true;
    if (end == std::wstring_view::npos || path[end] != L'/') return false;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool IsWebAddress(std::wstring_view address) {
  for (wchar_t c : address)
    if (c < 0x20 || c == 0x7F || c == L'"' || c == L'\\') return false;

  std::wstring_view rest;
  bool withScheme = true;
  if (StartsWithNoCase(address, L"http://")) {
    rest = address.substr(7);
  } else if (StartsWithNoCase(address, L"https://")) {
    rest = address.substr(8);
  } else {
    rest = address;
    withScheme = false;
  }

  int dots = 0;
  std::size_t i = HostLength(rest, dots);
  if (i == 0) return false;
  if (withScheme) {
    if (i < rest.size() && rest[i] == L':') {
      const std::size_t portStart = ++i;
      while (i < rest.size() && rest[i] >= L'0' && rest[i] <= L'9') ++i;
      if (i == portStart || i - portStart > 5) return false;
    }
    return i == rest.size() || rest[i] == L'/' || rest[i] == L'?' || rest[i] == L'#';
  }
  // Without a scheme the shell would take a plain name as a file beside the program, so the
  // host must be dotted and a path must follow that stays below it.
  return dots > 0 && i < rest.size() && rest[i] == L'/' && !HasDotSegment(rest.substr(i + 1));
}

}  // namespace revivix
