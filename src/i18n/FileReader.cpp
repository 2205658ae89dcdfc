#include "i18n/FileReader.h"

#include "common/Text.h"

namespace revivix {

FileReader::FileReader(FileSystem& files) : files_(files) {}

void FileReader::ReadFileLines(const std::wstring& fileName) {
  lines_.clear();
  const auto bytes = files_.ReadBytes(fileName);
  if (!bytes) throw IniError("the file cannot be read");
  const std::wstring text = DecodeAnsi1252(bytes->data(), bytes->size());
  // A line ends at CR or at CR LF.
  std::wstring line;
  bool pending = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      lines_.push_back(line);
      line.clear();
      pending = false;
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      line.push_back(text[i]);
      pending = true;
    }
  }
  if (pending) lines_.push_back(line);
}

std::wstring FileReader::LoadIniFile(const std::wstring& fileName, const std::wstring& section,
                                     const std::wstring& key) {
  sections_.assign(1, IniSection{});
  sectionCount_ = 0;
  ReadFileLines(fileName);
  for (const auto& raw : lines_) {
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
  if (sectionIndex_ == -1) sectionIndex_ = 0;
}

void FileReader::FindKey(const std::wstring& name) {
  keyIndex_ = -1;
  const auto& keys = sections_[static_cast<std::size_t>(sectionIndex_)].Keys;
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (EqualsNoCase(keys[i], name)) keyIndex_ = static_cast<int>(i);
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
  auto& record = sections_[static_cast<std::size_t>(sectionIndex_)];
  // A record without keys has no place to write to: nothing is added.
  if (static_cast<std::size_t>(keyIndex_) >= record.Values.size()) return;
  record.Values[static_cast<std::size_t>(keyIndex_)] = value;
}

void FileReader::SaveIniFile(const std::wstring& fileName) {
  std::wstring text;
  for (const auto& record : sections_) {
    if (record.Name.empty()) continue;
    text += L"[" + record.Name + L"]\r\n";
    for (std::size_t k = 0; k < record.Keys.size(); ++k)
      if (!record.Keys[k].empty()) text += record.Keys[k] + L"=" + record.Values[k] + L"\r\n";
  }
  const std::string ansi = EncodeAnsi1252(text);
  const std::wstring temporary = fileName + L".new";
  if (!files_.WriteBytes(temporary, std::vector<std::uint8_t>(ansi.begin(), ansi.end()))) {
    files_.DeleteFiles(temporary);
    throw IniError("the settings could not be written");
  }
  if (!files_.Replace(temporary, fileName)) {
    files_.DeleteFiles(temporary);
    throw IniError("the settings file could not be replaced");
  }
}

}  // namespace revivix
