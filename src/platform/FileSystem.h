// Files beside the program: the language, license and settings files and the FW folder.
// Paths are written the Windows way ("\" between names); letter case in names does not matter.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace revivix {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool FileExists(const std::wstring& path) = 0;
  // Deletes one file, or every file matching "*" and "?" in the last name of the path. Read-only
  // files are not forced. Returns how many files were deleted.
  virtual int DeleteFiles(const std::wstring& pattern) = 0;
  // The whole file, or nothing when it cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> ReadBytes(const std::wstring& path) = 0;
  // Replaces the file's contents; false when it cannot be written.
  virtual bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) = 0;
  // Replaces `target` by `source` in one step (both in the same folder).
  virtual bool Replace(const std::wstring& source, const std::wstring& target) = 0;
};

// The file system through the standard library; used by the program and by the tests.
class StdFileSystem : public FileSystem {
 public:
  bool FileExists(const std::wstring& path) override;
  int DeleteFiles(const std::wstring& pattern) override;
  std::optional<std::vector<std::uint8_t>> ReadBytes(const std::wstring& path) override;
  bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
  bool Replace(const std::wstring& source, const std::wstring& target) override;
};

// The standard library's path of a path in the program's form ("\" between names, any letter
// case).
std::filesystem::path StdPath(const std::wstring& path);

// True when `name` matches the wildcard `pattern` ("*" any run, "?" one character), ignoring
// letter case.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name);

}  // namespace revivix
