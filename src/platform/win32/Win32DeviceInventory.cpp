#include "platform/win32/Win32DeviceInventory.h"

#include <windows.h>

#include <setupapi.h>

#include <stdexcept>
#include <vector>

namespace revivix::win32 {

namespace {

// A text property of the device; "" when it has none.
std::wstring TextProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  DWORD type = 0;
  DWORD size = 0;
  SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> data(size + sizeof(wchar_t), 0);
  if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, data.data(), size, nullptr))
    return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return {};
  return std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
}

std::wstring InstanceId(HDEVINFO set, SP_DEVINFO_DATA& device) {
  DWORD size = 0;
  SetupDiGetDeviceInstanceIdW(set, &device, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<wchar_t> id(size + 1, L'\0');
  if (!SetupDiGetDeviceInstanceIdW(set, &device, id.data(), size + 1, nullptr)) return {};
  return std::wstring(id.data());
}

}  // namespace

std::vector<DeviceEntry> Win32DeviceInventory::Devices() {
  HDEVINFO set = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) throw std::runtime_error("the device list cannot be read");
  std::vector<DeviceEntry> devices;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    DeviceEntry entry;
    entry.pnpDeviceId = InstanceId(set, device);
    entry.name = TextProperty(set, device, SPDRP_FRIENDLYNAME);
    if (entry.name.empty()) entry.name = TextProperty(set, device, SPDRP_DEVICEDESC);
    devices.push_back(std::move(entry));
  }
  SetupDiDestroyDeviceInfoList(set);
  return devices;
}

}  // namespace revivix::win32
