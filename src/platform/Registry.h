// The system registry, read only: one value below HKEY_LOCAL_MACHINE.
#pragma once

#include <cstdint>
#include <string>

namespace revivix {

// A value as the wizard takes it: a text without its terminating NUL, a 32-bit number, or
// nothing (a missing key or value, or a value of any other type).
struct RegistryValue {
  enum class Kind { None, Text, Number };
  Kind kind = Kind::None;
  std::wstring text;
  std::uint32_t number = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // The value `name` of the key `keyPath` below HKEY_LOCAL_MACHINE, opened for query.
  virtual RegistryValue LocalMachineValue(const std::wstring& keyPath,
                                          const std::wstring& name) = 0;
};

}  // namespace revivix
