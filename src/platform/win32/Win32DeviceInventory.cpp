#include "platform/win32/Win32DeviceInventory.h"

#include <windows.h>

#include <setupapi.h>

#include <stdexcept>
#include <vector>

#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {

namespace {

// The device-list functions, looked up at the first reading of the list.
struct SetupApi {
  decltype(::SetupDiGetClassDevsW)* getClassDevs =
      REVIVIX_SYSTEM_FUNCTION(SetupApi, SetupDiGetClassDevsW);
  decltype(::SetupDiEnumDeviceInfo)* enumDeviceInfo =
      REVIVIX_SYSTEM_FUNCTION(SetupApi, SetupDiEnumDeviceInfo);
  decltype(::SetupDiGetDeviceRegistryPropertyW)* getRegistryProperty =
      REVIVIX_SYSTEM_FUNCTION(SetupApi, SetupDiGetDeviceRegistryPropertyW);
  decltype(::SetupDiGetDeviceInstanceIdW)* getInstanceId =
      REVIVIX_SYSTEM_FUNCTION(SetupApi, SetupDiGetDeviceInstanceIdW);
  decltype(::SetupDiDestroyDeviceInfoList)* destroyList =
      REVIVIX_SYSTEM_FUNCTION(SetupApi, SetupDiDestroyDeviceInfoList);
  bool Complete() const {
    return getClassDevs && enumDeviceInfo && getRegistryProperty && getInstanceId && destroyList;
  }
};

// A text property of the device; "" when it has none.
std::wstring TextProperty(const SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& device,
                          DWORD property) {
  DWORD type = 0;
  DWORD size = 0;
  api.getRegistryProperty(set, &device, property, &type, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> data(size + sizeof(wchar_t), 0);
  if (!api.getRegistryProperty(set, &device, property, &type, data.data(), size, nullptr))
    return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return {};
  return std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
}

std::wstring InstanceId(const SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& device) {
  DWORD size = 0;
  api.getInstanceId(set, &device, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<wchar_t> id(size + 1, L'\0');
  if (!api.getInstanceId(set, &device, id.data(), size + 1, nullptr)) return {};
  return std::wstring(id.data());
}

}  // namespace

std::vector<DeviceEntry> Win32DeviceInventory::Devices() {
  const SetupApi api;
  if (!api.Complete()) throw std::runtime_error("the device list cannot be read");
  HDEVINFO set = api.getClassDevs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) throw std::runtime_error("the device list cannot be read");
  std::vector<DeviceEntry> devices;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; api.enumDeviceInfo(set, i, &device); ++i) {
    DeviceEntry entry;
    entry.pnpDeviceId = InstanceId(api, set, device);
    entry.name = TextProperty(api, set, device, SPDRP_FRIENDLYNAME);
    if (entry.name.empty()) entry.name = TextProperty(api, set, device, SPDRP_DEVICEDESC);
    devices.push_back(std::move(entry));
  }
  api.destroyList(set);
  return devices;
}

}  // namespace revivix::win32
