#include "platform/win32/Win32ConnectionCheck.h"

#include <windows.h>

#include <wininet.h>

#include <string>
#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {

bool Win32ConnectionCheck::CanConnect(const std::wstring& url) {
  const int size = WideCharToMultiByte(CP_ACP, 0, url.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, url.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  auto* check = REVIVIX_SYSTEM_FUNCTION(WinInet, InternetCheckConnectionA);
  return check && check(ansi.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
}

}  // namespace revivix::win32
