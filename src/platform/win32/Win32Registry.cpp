#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <string>
#include <vector>

namespace revivix::win32 {

namespace {

std::string ToAnsi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  ansi.resize(ansi.size() - 1);
  return ansi;
}

std::wstring FromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0)
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

}  // namespace

RegistryValue Win32Registry::LocalMachineValue(const std::wstring& keyPath,
                                               const std::wstring& name) {
  RegistryValue result;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return result;
  const std::string valueName = ToAnsi(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<unsigned char> data(size + 1, 0);
    DWORD read = size;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data.data(), &read) ==
        ERROR_SUCCESS) {
      if (type == REG_SZ) {
        // Up to the terminating NUL (a value stored without one ends at its size).
        std::string text(reinterpret_cast<const char*>(data.data()), read);
        const auto nul = text.find('\0');
        if (nul != std::string::npos) text.resize(nul);
        result.kind = RegistryValue::Kind::Text;
        result.text = FromAnsi(text);
      } else if (type == REG_DWORD && read == sizeof(DWORD)) {
        DWORD number = 0;
        memcpy(&number, data.data(), sizeof number);
        result.kind = RegistryValue::Kind::Number;
        result.number = number;
      }
    }
  }
  RegCloseKey(key);
  return result;
}

}  // namespace revivix::win32
