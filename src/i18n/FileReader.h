// The program's own INI reader and writer for the settings file. It holds one parsed file at a
// time; every call works on the table and the cursors the previous call left. The file is text
// in the system's ANSI code page (UTF-8 or UTF-16 after a byte-order mark); CR LF, LF and CR
// each end a line. A save writes back the bytes as read with only the changed values replaced.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "platform/FileSystem.h"

namespace revivix {

// Raised where reading or writing the file cannot go on: the caller's operation ends there.
class IniError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where a key's value stands in the file's bytes, and the value as read there.
struct IniValuePlace {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::wstring read;
};

struct IniSection {
  std::wstring Name;
  std::vector<std::wstring> Keys;
  std::vector<std::wstring> Values;
  std::vector<IniValuePlace> Places;  // parallel to Keys and Values
};

class FileReader {
 public:
  // `codePage` is the system's ANSI code page, which a file without a byte-order mark is in.
  FileReader(FileSystem& files, const CodePage& codePage);

  // Parses the whole file into the table; with both Section and Key given, returns that value.
  std::wstring LoadIniFile(const std::wstring& fileName, const std::wstring& section,
                           const std::wstring& key);
  void ReadFileLines(const std::wstring& fileName);
  void FindSection(const std::wstring& name);
  void FindKey(const std::wstring& name);
  std::wstring ReadIniValue(const std::wstring& section, const std::wstring& key);
  // Replaces the value of the key in the section, both found by name; nothing is ever added, and
  // a section or key that is not there is not written at all.
  void WriteIniValue(const std::wstring& value, const std::wstring& section,
                     const std::wstring& key);
  // Writes the file last read back with the values that WriteIniValue changed, every other byte
  // (remarks, other sections, ignored lines, line ends, byte-order mark) as it was. Without a
  // change nothing is written. The new contents go to a file beside the old one first, which
  // then replaces it, so a failed write leaves the user's file as it was; a value that the
  // file's encoding cannot hold exactly, or that holds a line end, fails the save.
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

  enum class Encoding { Ansi, Utf8, Utf16Le };
  std::optional<std::string> EncodeValue(const std::wstring& value) const;

  FileSystem& files_;
  const CodePage& codePage_;
  std::vector<IniSection> sections_{IniSection{}};
  std::vector<std::wstring> lines_;
  // The file as read: its bytes, its encoding, and where each line of lines_ starts in the text
  // (in units) with each unit's byte offset.
  std::vector<std::uint8_t> bytes_;
  Encoding encoding_ = Encoding::Ansi;
  std::vector<std::size_t> lineStarts_;
  std::vector<std::size_t> unitBytes_;
  bool sectionFound_ = false;
  bool keyFound_ = false;
  int sectionCount_ = 0;
  int sectionIndex_ = 0;
  int keyIndex_ = 0;
};

}  // namespace revivix
