// The Internet check through WinINet: a connection to the address's server is forced.
#pragma once

#include "platform/ConnectionCheck.h"

namespace revivix::win32 {

class Win32ConnectionCheck : public ConnectionCheck {
 public:
  bool CanConnect(const std::wstring& url) override;
};

}  // namespace revivix::win32
