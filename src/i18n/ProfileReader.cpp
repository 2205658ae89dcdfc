#include "i18n/ProfileReader.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/Text.h"

namespace revivix {

namespace {

struct ProfileFile {
  bool utf16 = false;
  std::vector<std::wstring> lines;
};

std::wstring TrimSpace(std::wstring_view text) {
  const auto first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L" \t");
  return std::wstring(text.substr(first, last - first + 1));
}

std::optional<ProfileFile> Load(FileSystem& files, const std::wstring& fileName) {
  const auto bytes = files.ReadBytes(fileName);
  if (!bytes) return std::nullopt;
  ProfileFile file;
  std::wstring text;
  if (bytes->size() >= 2 && (*bytes)[0] == 0xFF && (*bytes)[1] == 0xFE) {
    file.utf16 = true;
    text = DecodeUtf16Le(bytes->data() + 2, bytes->size() - 2);
  } else {
    text = DecodeAnsi1252(bytes->data(), bytes->size());
  }
  std::wstring line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      file.lines.push_back(line);
      line.clear();
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) file.lines.push_back(line);
  return file;
}

// The section name of a header line, or nothing for any other line.
std::optional<std::wstring> HeaderName(const std::wstring& line) {
  const std::wstring t = TrimSpace(line);
  if (t.empty() || t[0] != L'[') return std::nullopt;
  const auto close = t.find(L']');
  return TrimSpace(t.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
}

// Splits a key line at its first "="; a line without one is a key with no value.
std::pair<std::wstring, std::wstring> KeyAndValue(const std::wstring& line) {
  const auto eq = line.find(L'=');
  if (eq == std::wstring::npos) return {TrimSpace(line), L""};
  return {TrimSpace(line.substr(0, eq)), TrimSpace(line.substr(eq + 1))};
}

std::wstring Unquote(std::wstring value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::uint32_t CopyOut(const std::wstring& text, wchar_t* buffer, std::uint32_t size) {
  if (!buffer || size == 0) return 0;
  const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), size - 1));
  std::copy_n(text.begin(), n, buffer);
  buffer[n] = L'\0';
  return n;
}

}  // namespace

std::uint32_t PortableProfileStrings::GetPrivateProfileStringW(const std::wstring& section,
                                                               const std::wstring& key,
                                                               const std::wstring& fallback,
                                                               wchar_t* buffer, std::uint32_t size,
                                                               const std::wstring& fileName) {
  const auto file = Load(files_, fileName);
  if (file) {
    bool inSection = false;
    for (const auto& line : file->lines) {
      if (const auto name = HeaderName(line)) {
        if (inSection) break;  // the first section of that name is the one read
        inSection = EqualsNoCase(*name, section);
        continue;
      }
      if (!inSection || TrimSpace(line).empty() || TrimSpace(line)[0] == L';') continue;
      const auto [k, v] = KeyAndValue(line);
      if (EqualsNoCase(k, key)) return CopyOut(Unquote(v), buffer, size);
    }
  }
  return CopyOut(fallback, buffer, size);
}

std::int32_t PortableProfileStrings::WritePrivateProfileStringW(const std::wstring& section,
                                                                const std::wstring& key,
                                                                const std::wstring& value,
                                                                const std::wstring& fileName) {
  ProfileFile file = Load(files_, fileName).value_or(ProfileFile{});
  const std::wstring newLine = key + L"=" + value;
  std::optional<std::size_t> sectionAt, lastKeyAt;
  bool replaced = false;
  for (std::size_t i = 0; i < file.lines.size() && !replaced; ++i) {
    if (const auto name = HeaderName(file.lines[i])) {
      if (sectionAt) break;
      if (EqualsNoCase(*name, section)) sectionAt = lastKeyAt = i;
      continue;
    }
    if (!sectionAt || TrimSpace(file.lines[i]).empty()) continue;
    lastKeyAt = i;
    if (EqualsNoCase(KeyAndValue(file.lines[i]).first, key)) {
      file.lines[i] = newLine;
      replaced = true;
    }
  }
  if (!replaced) {
    if (sectionAt) {
      file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(*lastKeyAt + 1), newLine);
    } else {
      file.lines.push_back(L"[" + section + L"]");
      file.lines.push_back(newLine);
    }
  }
  std::wstring text;
  for (const auto& line : file.lines) text += line + L"\r\n";
  std::vector<std::uint8_t> bytes;
  if (file.utf16) {
    bytes = {0xFF, 0xFE};
    for (const wchar_t c : text) {
      const auto u = static_cast<std::uint32_t>(c);
      bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((u >> 8) & 0xFF));
    }
  } else {
    const std::string ansi = EncodeAnsi1252(text);
    bytes.assign(ansi.begin(), ansi.end());
  }
  return files_.WriteBytes(fileName, bytes) ? 1 : 0;
}

}  // namespace revivix
