// The local maker site of the Wine tests: a ctest fixture starts it before the tests that need it
// and stops it after them; its state folder (a Linux path, seen by Windows programs on drive Z:)
// holds the port it took.
#pragma once

#include <windows.h>

#include <string>

#include "driver/Paths.h"

namespace revivix::wintest {

// "http://127.0.0.1:<port>", or "" when the site's state folder holds no port.
inline std::wstring LocalSite(const std::string& stateFolder) {
  const std::wstring file = driver::WindowsPath(stateFolder) + L"\\port";
  HANDLE handle =
      CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  char text[16] = {};
  DWORD read = 0;
  ReadFile(handle, text, sizeof text - 1, &read, nullptr);
  CloseHandle(handle);
  std::wstring port;
  for (DWORD i = 0; i < read && text[i] >= '0' && text[i] <= '9'; ++i) port += text[i];
  return port.empty() ? std::wstring() : L"http://127.0.0.1:" + port;
}

}  // namespace revivix::wintest
