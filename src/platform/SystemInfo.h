// Facts about the computer and the session the program runs in.
#pragma once

#include <cstdint>
#include <string>

namespace revivix {

// The basic version record of the version query.
struct VersionRecord {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = 0;  // 2 for the NT family
  std::wstring servicePack;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual VersionRecord Version() = 0;
  // The folder the program was started from, without a trailing "\".
  virtual std::wstring ProgramFolder() = 0;
};

}  // namespace revivix
