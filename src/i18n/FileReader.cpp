#include "i18n/FileReader.h"

#include <algorithm>
#include <initializer_list>

#include "common/Text.h"

namespace revivix {

FileReader::FileReader(FileSystem& files, const CodePage& codePage)
    : files_(files), codePage_(codePage) {}

namespace {

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> mark) {
  return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

// UTF-16LE after its byte-order mark, with each unit's byte offset; an odd last byte is dropped.
std::wstring DecodeUtf16LeAt(const std::vector<std::uint8_t>& bytes, std::size_t from,
                             std::vector<std::size_t>& starts) {
  std::wstring text;
  starts.clear();
  std::size_t i = from;
  for (; i + 1 < bytes.size(); i += 2) {
    std::uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
    starts.push_back(i);
    if constexpr (sizeof(wchar_t) == 4) {
      if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
        const std::uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        }
      }
    }
    text.push_back(static_cast<wchar_t>(unit));
  }
  starts.push_back(i);
  return text;
}

}  // namespace

void FileReader::ReadFileLines(const std::wstring& fileName) {
  lines_.clear();
  lineStarts_.clear();
  unitBytes_.clear();
  bytes_.clear();
  auto bytes = files_.ReadBytes(fileName);
  if (!bytes) throw IniError("the file cannot be read");
  bytes_ = std::move(*bytes);
  // A byte-order mark says which encoding the file is in; without one it is the system's ANSI
  // code page.
  std::wstring text;
  if (StartsWith(bytes_, {0xEF, 0xBB, 0xBF})) {
    encoding_ = Encoding::Utf8;
    text = CodePage::Utf8().Decode(bytes_.data() + 3, bytes_.size() - 3, &unitBytes_);
    for (auto& start : unitBytes_) start += 3;
  } else if (StartsWith(bytes_, {0xFF, 0xFE})) {
    encoding_ = Encoding::Utf16Le;
    text = DecodeUtf16LeAt(bytes_, 2, unitBytes_);
  } else {
    encoding_ = Encoding::Ansi;
    text = codePage_.Decode(bytes_.data(), bytes_.size(), &unitBytes_);
  }
  // CR LF, LF and CR each end a line.
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines_.push_back(text.substr(start, i - start));
    lineStarts_.push_back(start);
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) {
    lines_.push_back(text.substr(start));
    lineStarts_.push_back(start);
  }
}

std::wstring FileReader::LoadIniFile(const std::wstring& fileName, const std::wstring& section,
                                     const std::wstring& key) {
  sections_.assign(1, IniSection{});
  sectionCount_ = 0;
  sectionFound_ = false;
  keyFound_ = false;
  ReadFileLines(fileName);
  for (std::size_t n = 0; n < lines_.size(); ++n) {
    const std::wstring& raw = lines_[n];
    const std::wstring line = Trim(raw);
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      std::wstring name = Trim(line.substr(0, line.find(L';')));
      name = name.substr(0, name.find(L']')).substr(1);
      sections_[static_cast<std::size_t>(sectionCount_)].Name = name;
      ++sectionCount_;
      sections_.emplace_back();
      continue;
    }
    const auto parts = Split(line, L"=");
    if (parts.size() != 2) continue;
    if (sectionCount_ == 0) throw IniError("a key line stands before the first section header");
    IniSection& owner = sections_[static_cast<std::size_t>(sectionCount_ - 1)];
    owner.Keys.push_back(parts[0]);
    owner.Values.push_back(parts[1]);
    // The value runs from after the "=" to the end of the trimmed line.
    const std::size_t lead = raw.find_first_not_of(L' ');
    const std::size_t first = lineStarts_[n] + lead + parts[0].size() + 1;
    const std::size_t last = lineStarts_[n] + lead + line.size();
    owner.Places.push_back({unitBytes_[first], unitBytes_[last], parts[1]});
  }
  sectionIndex_ = 0;
  keyIndex_ = 0;
  if (!section.empty() && !key.empty()) return ReadIniValue(section, key);
  return {};
}

int FileReader::SearchedRecords() const {
  return sectionCount_ > 0 ? sectionCount_ : 1;
}

void FileReader::FindSection(const std::wstring& name) {
  sectionIndex_ = -1;
  for (int i = 0; i < SearchedRecords(); ++i)
    if (EqualsNoCase(sections_[static_cast<std::size_t>(i)].Name, name)) sectionIndex_ = i;
  keyIndex_ = 0;
  keyFound_ = false;
  sectionFound_ = sectionIndex_ != -1;
  if (sectionIndex_ == -1) sectionIndex_ = 0;
}

void FileReader::FindKey(const std::wstring& name) {
  keyIndex_ = -1;
  const auto& keys = sections_[static_cast<std::size_t>(sectionIndex_)].Keys;
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (EqualsNoCase(keys[i], name)) keyIndex_ = static_cast<int>(i);
  keyFound_ = keyIndex_ != -1;
  if (keyIndex_ == -1) keyIndex_ = 0;
}

std::wstring FileReader::ReadIniValue(const std::wstring& section, const std::wstring& key) {
  if (!section.empty()) FindSection(section);
  if (!key.empty()) FindKey(key);
  const auto& record = sections_[static_cast<std::size_t>(sectionIndex_)];
  // A record without keys (the unnamed first one, or a header with no key lines) reads "".
  if (static_cast<std::size_t>(keyIndex_) >= record.Values.size()) return {};
  return record.Values[static_cast<std::size_t>(keyIndex_)];
}

void FileReader::WriteIniValue(const std::wstring& value, const std::wstring& section,
                               const std::wstring& key) {
  if (!section.empty()) FindSection(section);
  if (!key.empty()) FindKey(key);
  // Only a key found by its name in a section found by its name is written: the fallback
  // position holds some other setting of the user's.
  if (!sectionFound_ || !keyFound_) return;
  auto& record = sections_[static_cast<std::size_t>(sectionIndex_)];
  if (static_cast<std::size_t>(keyIndex_) >= record.Values.size()) return;
  record.Values[static_cast<std::size_t>(keyIndex_)] = value;
}

std::optional<std::string> FileReader::EncodeValue(const std::wstring& value) const {
  // A line end would split the line, a NUL end it for the system's reader.
  if (value.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring::npos)
    return std::nullopt;
  switch (encoding_) {
    case Encoding::Utf8:
      return CodePage::Utf8().Encode(value);
    case Encoding::Utf16Le: {
      std::string out;
      for (const wchar_t c : value) {
        std::uint32_t cp = static_cast<std::uint32_t>(c);
        if (sizeof(wchar_t) == 4 && cp >= 0x10000) {
          cp -= 0x10000;
          const std::uint32_t high = 0xD800 + (cp >> 10);
          out.push_back(static_cast<char>(high & 0xFF));
          out.push_back(static_cast<char>(high >> 8));
          cp = 0xDC00 + (cp & 0x3FF);
        }
        out.push_back(static_cast<char>(cp & 0xFF));
        out.push_back(static_cast<char>((cp >> 8) & 0xFF));
      }
      return out;
    }
    case Encoding::Ansi:
      break;
  }
  return codePage_.Encode(value);
}

void FileReader::SaveIniFile(const std::wstring& fileName) {
  struct Edit {
    const IniValuePlace* place;
    std::string bytes;
  };
  std::vector<Edit> edits;
  for (const auto& record : sections_) {
    for (std::size_t k = 0; k < record.Values.size() && k < record.Places.size(); ++k) {
      if (record.Values[k] == record.Places[k].read) continue;
      auto bytes = EncodeValue(record.Values[k]);
      if (!bytes) throw IniError("the value cannot be written in the file's encoding");
      edits.push_back({&record.Places[k], std::move(*bytes)});
    }
  }
  if (edits.empty()) return;  // nothing changed: the file stays exactly as it is
  std::sort(edits.begin(), edits.end(),
            [](const Edit& a, const Edit& b) { return a.place->begin < b.place->begin; });
  std::vector<std::uint8_t> out;
  out.reserve(bytes_.size() + 64);
  std::size_t copied = 0;
  for (const Edit& edit : edits) {
    out.insert(out.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(copied),
               bytes_.begin() + static_cast<std::ptrdiff_t>(edit.place->begin));
    out.insert(out.end(), edit.bytes.begin(), edit.bytes.end());
    copied = edit.place->end;
  }
  out.insert(out.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(copied), bytes_.end());

  const std::wstring temporary = fileName + L".new";
  if (!files_.WriteBytes(temporary, out)) {
    files_.DeleteFiles(temporary);
    throw IniError("the settings could not be written");
  }
  if (!files_.Replace(temporary, fileName)) {
    files_.DeleteFiles(temporary);
    throw IniError("the settings file could not be replaced");
  }
}

}  // namespace revivix
