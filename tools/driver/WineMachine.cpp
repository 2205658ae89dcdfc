#include "driver/WineMachine.h"

#include <wincrypt.h>

#include <cwchar>

namespace revivix::driver {

namespace {

constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\";
constexpr wchar_t kUsbEnum[] = L"System\\CurrentControlSet\\Enum\\USB\\";
// The device setup class of USB devices.
constexpr wchar_t kUsbClass[] = L"{36fc9e60-c465-11cf-8056-444553540000}";
// The vendors of the simulated players of the tests and the demo.
constexpr const wchar_t* kSimulatedVendors[] = {L"VID_1F3A&", L"VID_2A5F&"};
constexpr wchar_t kBrowserKey[] = L"Software\\Wine\\WineBrowser";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kInternetSettings[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

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

bool ClearWindowsVersionFor(const std::wstring& exeName) {
  const std::wstring path = kAppDefaults + exeName;
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  return !KeyExists(HKEY_CURRENT_USER, path);
}

// Removes the instance, and its device key when no other instance is left below it. True when
// the instance is gone afterwards.
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

// Removes every device key of the simulated players' vendors; true when none is left.
bool RemoveSimulatedPlayers() {
  HKEY usb = nullptr;
  const std::wstring root(kUsbEnum, std::size(kUsbEnum) - 2);  // without the trailing "\"
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_READ, &usb) != ERROR_SUCCESS)
    return true;
  std::vector<std::wstring> found;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    if (RegEnumKeyExW(usb, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    for (const wchar_t* vendor : kSimulatedVendors)
      if (_wcsnicmp(name, vendor, wcslen(vendor)) == 0) found.push_back(name);
  }
  RegCloseKey(usb);
  bool gone = true;
  for (const std::wstring& device : found) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kUsbEnum + device).c_str());
    gone = !KeyExists(HKEY_LOCAL_MACHINE, kUsbEnum + device) && gone;
  }
  return gone;
}

// One value as it was before a change: put back by Restore.
struct SavedValue {
  HKEY root = nullptr;
  std::wstring key;
  std::wstring name;
  bool keyExisted = false;
  bool present = false;
  DWORD type = 0;
  std::vector<BYTE> data;

  bool Restore() const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
      return !present;
    const LONG result = present ? RegSetValueExW(opened, name.c_str(), 0, type, data.data(),
                                                 static_cast<DWORD>(data.size()))
                                : RegDeleteValueW(opened, name.c_str());
    RegCloseKey(opened);
    if (!keyExisted) RegDeleteKeyW(root, key.c_str());  // only when nothing else is left in it
    return result == ERROR_SUCCESS || (!present && result == ERROR_FILE_NOT_FOUND);
  }
};

SavedValue Save(HKEY root, const std::wstring& key, const wchar_t* name) {
  SavedValue saved;
  saved.root = root;
  saved.key = key;
  saved.name = name;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return saved;
  saved.keyExisted = true;
  DWORD size = 0;
  if (RegQueryValueExW(opened, name, nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
    saved.data.resize(size);
    saved.present = RegQueryValueExW(opened, name, nullptr, &saved.type, saved.data.data(),
                                     &size) == ERROR_SUCCESS;
    saved.data.resize(size);
  }
  RegCloseKey(opened);
  return saved;
}

// Takes the certificate out of the user's root store again. Under Wine a deletion through the
// ROOT collection that CertOpenSystemStore gives leaves the certificate in the registry; the
// user's registry store itself lets it go.
bool Distrust(const std::string& der) {
  HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                  CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
  if (!root) return false;
  PCCERT_CONTEXT wanted = CertCreateCertificateContext(
      X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()));
  bool gone = wanted != nullptr;
  while (wanted) {
    PCCERT_CONTEXT found =
        CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr);
    if (!found) break;
    if (!CertDeleteCertificateFromStore(found)) {
      gone = false;
      break;
    }
  }
  if (wanted) CertFreeCertificateContext(wanted);
  CertCloseStore(root, 0);
  return gone;
}

}  // namespace

WineMachine::WineMachine() {
  startedClean_ = ClearWindowsVersionFor(L"fernclip.exe") && RemoveSimulatedPlayers();
}

WineMachine::~WineMachine() {
  Restore();
}

bool WineMachine::Restore() {
  bool restored = true;
  while (!undo_.empty()) {
    restored = undo_.back()() && restored;
    undo_.pop_back();
  }
  return restored;
}

bool WineMachine::SetValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD type,
                           const void* data, DWORD size) {
  SavedValue saved = Save(root, key, name);
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS)
    return false;
  undo_.push_back([saved] { return saved.Restore(); });
  const bool set =
      RegSetValueExW(opened, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return set;
}

bool WineMachine::SetWindowsVersion(const std::wstring& exeName, const std::wstring& version) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, (kAppDefaults + exeName).c_str(), 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  undo_.push_back([exeName] { return ClearWindowsVersionFor(exeName); });
  const bool ok = SetText(key, L"Version", version);
  RegCloseKey(key);
  return ok;
}

bool WineMachine::AddUsbDevice(const std::wstring& instancePath, const std::wstring& friendlyName,
                               const std::wstring& description) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kUsbEnum + instancePath).c_str(), 0, nullptr, 0,
                      KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  undo_.push_back([instancePath] { return RemoveUsbDevice(instancePath); });
  bool ok = SetText(key, L"DeviceDesc", description) && SetText(key, L"ClassGUID", kUsbClass);
  if (!friendlyName.empty()) ok = ok && SetText(key, L"FriendlyName", friendlyName);
  RegCloseKey(key);
  return ok;
}

bool WineMachine::SetBrowser(const std::wstring& command) {
  return SetValue(HKEY_CURRENT_USER, kBrowserKey, L"Browsers", REG_SZ, command.c_str(),
                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

bool WineMachine::SetScreenDpi(DWORD dpi) {
  return SetValue(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

bool WineMachine::SetProxy(const std::wstring& server) {
  const DWORD on = 1;
  return SetValue(HKEY_CURRENT_USER, kInternetSettings, L"ProxyEnable", REG_DWORD, &on,
                  sizeof on) &&
         SetValue(HKEY_CURRENT_USER, kInternetSettings, L"ProxyServer", REG_SZ, server.c_str(),
                  static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
}

bool WineMachine::TrustAuthority(const std::string& der) {
  HCERTSTORE root = CertOpenSystemStoreW(0, L"ROOT");
  if (!root) return false;
  const bool added =
      CertAddEncodedCertificateToStore(
          root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
          static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != FALSE;
  CertCloseStore(root, 0);
  if (added) undo_.push_back([der] { return Distrust(der); });
  return added;
}

}  // namespace revivix::driver
