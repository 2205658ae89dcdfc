// The Internet check through WinINet: a connection to the address's server is forced, and where
// that fails, one request through the system's proxy settings may still find the site.
#pragma once

#include "platform/ConnectionCheck.h"

namespace revivix::win32 {

class Win32ConnectionCheck : public ConnectionCheck {
 public:
  bool CanConnect(const std::wstring& url) override;
  bool RequestAnswers(const std::wstring& url, int limitMs) override;
};

}  // namespace revivix::win32
