// Reading one value below HKEY_LOCAL_MACHINE with the ANSI registry functions.
#pragma once

#include "platform/Registry.h"

namespace revivix::win32 {

class Win32Registry : public Registry {
 public:
  RegistryValue LocalMachineValue(const std::wstring& keyPath, const std::wstring& name) override;
};

}  // namespace revivix::win32
