// The repair log's file: appended to in pieces, measured and rotated at start. Every call
// reports failure instead of throwing, so a log that cannot be written costs the wizard nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace revivix {

class LogFile {
 public:
  virtual ~LogFile() = default;
  // The file's size in bytes, or nothing when there is no such file.
  virtual std::optional<std::uint64_t> Size(const std::wstring& path) = 0;
  // Adds `bytes` at the end of the file, creating it when needed; false when it cannot.
  virtual bool Append(const std::wstring& path, std::string_view bytes) = 0;
  // Renames `source` to `target`, replacing a `target` that exists; false when it cannot.
  virtual bool Rename(const std::wstring& source, const std::wstring& target) = 0;
};

// The log file through the standard library, with FileSystem's path rules.
class StdLogFile : public LogFile {
 public:
  std::optional<std::uint64_t> Size(const std::wstring& path) override;
  bool Append(const std::wstring& path, std::string_view bytes) override;
  bool Rename(const std::wstring& source, const std::wstring& target) override;
};

}  // namespace revivix
