// The device inventory through SetupAPI: every present device of every class, with its instance
// identifier and its friendly name (else its description). These are the facts the management
// service's Plug and Play entity class gives as PnPDeviceID and Name; SetupAPI gives them alike
// on every Windows, also where that service lacks the identifier.
#pragma once

#include "platform/DeviceInventory.h"

namespace revivix::win32 {

class Win32DeviceInventory : public DeviceInventory {
 public:
  std::vector<DeviceEntry> Devices() override;
};

}  // namespace revivix::win32
