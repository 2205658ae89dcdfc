// Files held in memory, so a fuzz input becomes a file without touching the disk.
#pragma once

#include <map>

#include "platform/FileSystem.h"

namespace revivix::fuzz {

class MemoryFileSystem : public FileSystem {
 public:
  bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
  int DeleteFiles(const std::wstring& pattern) override {
    return static_cast<int>(files.erase(pattern));
  }
  std::optional<std::vector<std::uint8_t>> ReadBytes(const std::wstring& path) override {
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override {
    files[path] = bytes;
    return true;
  }
  bool Replace(const std::wstring& source, const std::wstring& target) override {
    const auto it = files.find(source);
    if (it == files.end()) return false;
    files[target] = it->second;
    files.erase(it);
    return true;
  }

  std::map<std::wstring, std::vector<std::uint8_t>> files;
};

}  // namespace revivix::fuzz
