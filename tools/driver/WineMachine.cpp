#include "driver/WineMachine.h"

#include <windows.h>

namespace revivix::driver {

namespace {

constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\";
constexpr wchar_t kUsbEnum[] = L"System\\CurrentControlSet\\Enum\\USB\\";
// The device setup class of USB devices.
constexpr wchar_t kUsbClass[] = L"{36fc9e60-c465-11cf-8056-444553540000}";

bool SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

bool SetWindowsVersionFor(const std::wstring& exeName, const std::wstring& version) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, (kAppDefaults + exeName).c_str(), 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const bool ok = SetText(key, L"Version", version);
  RegCloseKey(key);
  return ok;
}

bool ClearWindowsVersionFor(const std::wstring& exeName) {
  const std::wstring path = kAppDefaults + exeName;
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  return !KeyExists(HKEY_CURRENT_USER, path);
}

bool AddUsbDevice(const std::wstring& instancePath, const std::wstring& friendlyName,
                  const std::wstring& description) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kUsbEnum + instancePath).c_str(), 0, nullptr, 0,
                      KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = SetText(key, L"DeviceDesc", description) && SetText(key, L"ClassGUID", kUsbClass);
  if (!friendlyName.empty()) ok = ok && SetText(key, L"FriendlyName", friendlyName);
  RegCloseKey(key);
  return ok;
}

bool RemoveUsbDevice(const std::wstring& instancePath) {
  const std::wstring path = kUsbEnum + instancePath;
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
  const auto cut = instancePath.find(L'\\');
  if (cut != std::wstring::npos) {
    // RegDeleteKeyW removes a key only when it has no subkeys left.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kUsbEnum + instancePath.substr(0, cut)).c_str());
  }
  return !KeyExists(HKEY_LOCAL_MACHINE, path);
}

}  // namespace revivix::driver
