// Finding the connected players: the maker's USB devices are paired with database lines by
// name, and players in recovery mode (USB product 3500) are counted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/frmMain.h"
#include "platform/DeviceInventory.h"

namespace revivix {

enum class DeviceKind { Other, RecoveryMode, MakerDevice };

struct ClassifiedDevice {
  DeviceKind kind = DeviceKind::Other;
  // The identifier as read for a recovery-mode device; the normalised name for a maker device.
  std::wstring text;
};

// The device's name in capitals without the words "USB Device" and without outer blanks.
std::wstring NormalisedName(const std::wstring& name);

ClassifiedDevice ClassifyDevice(const DeviceEntry& device);

// Keeps the first of entries that are equal regardless of letter case, in their order, and
// drops empty entries; a list of fewer than two entries is left as it is.
void RemoveDuplicateItems(Control& list);

// Reads the device inventory and the database page once and returns the number of (database
// line, maker device) pairs whose names match; the player record holds the last matched line.
// Also sets RecoveryDeviceCount, DatabaseAvailable, DatabaseLines and the choice list. Throws
// when the inventory cannot be read.
std::int32_t FindConnectedPlayers(frmMain& form);

// The part of FindConnectedPlayers after the page was found usable: pairs the devices with the
// page's lines and fills the recovery list, the record, DatabaseLines and the choice list.
std::int32_t MatchConnectedPlayers(frmMain& form, const std::vector<DeviceEntry>& devices,
                                   const std::wstring& page);

}  // namespace revivix
