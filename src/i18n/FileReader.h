// The program's own INI reader and writer for the settings file. It holds one parsed file at a
// time; every call works on the table and the cursors the previous call left.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace revivix {

// Raised where reading or writing the file cannot go on: the caller's operation ends there.
class IniError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct IniSection {
  std::wstring Name;
  std::vector<std::wstring> Keys;
  std::vector<std::wstring> Values;
};

class FileReader {
 public:
  explicit FileReader(FileSystem& files);

  // Parses the whole file into the table; with both Section and Key given, returns that value.
  std::wstring LoadIniFile(const std::wstring& fileName, const std::wstring& section,
                           const std::wstring& key);
  void ReadFileLines(const std::wstring& fileName);
  void FindSection(const std::wstring& name);
  void FindKey(const std::wstring& name);
  std::wstring ReadIniValue(const std::wstring& section, const std::wstring& key);
  // Replaces a value where ReadIniValue would read it; nothing is ever added.
  void WriteIniValue(const std::wstring& value, const std::wstring& section,
                     const std::wstring& key);
  // Writes the table back. The new contents go to a file beside the old one first, which then
  // replaces it, so a failed write leaves the user's file as it was.
  void SaveIniFile(const std::wstring& fileName);

  const std::vector<IniSection>& IniSections() const { return sections_; }
  const std::vector<std::wstring>& IniLines() const { return lines_; }
  int SectionCount() const { return sectionCount_; }
  int SectionIndex() const { return sectionIndex_; }
  int KeyIndex() const { return keyIndex_; }

 private:
  // The records FindSection looks through: the parsed sections, or the single unnamed record
  // when no header was read.
  int SearchedRecords() const;

  FileSystem& files_;
  std::vector<IniSection> sections_{IniSection{}};
  std::vector<std::wstring> lines_;
  int sectionCount_ = 0;
  int sectionIndex_ = 0;
  int keyIndex_ = 0;
};

}  // namespace revivix
