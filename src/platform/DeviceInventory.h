// The computer's Plug and Play device inventory: for every device its instance identifier and
// its name, the two facts the player detection reads.
#pragma once

#include <string>
#include <vector>

namespace revivix {

struct DeviceEntry {
  std::wstring pnpDeviceId;  // the device instance identifier ("USB\VID_...&PID_...\...")
  std::wstring name;         // the friendly name, else the device description
};

class DeviceInventory {
 public:
  virtual ~DeviceInventory() = default;
  // Every device, in the inventory's own order. Throws when the inventory cannot be read.
  virtual std::vector<DeviceEntry> Devices() = 0;
};

}  // namespace revivix
