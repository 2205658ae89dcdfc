#include "detection/DeviceMatching.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/Text.h"
#include "detection/PlayerDatabase.h"

namespace revivix {

std::wstring NormalisedName(const std::wstring& name) {
  const std::wstring upper = UCase(name);
  static constexpr std::wstring_view kWords = L"USB DEVICE";
  // One pass from the first character: every occurrence is removed, the text left behind by a
  // removal is not searched again.
  std::wstring without;
  std::size_t from = 0;
  for (std::size_t at; (at = upper.find(kWords, from)) != std::wstring::npos;
       from = at + kWords.size())
    without.append(upper, from, at - from);
  without.append(upper, from, std::wstring::npos);
  return Trim(UCase(without));
}

ClassifiedDevice ClassifyDevice(const DeviceEntry& device) {
  const std::wstring idKey = Trim(UCase(device.pnpDeviceId));
  if (idKey.find(L"USB") == std::wstring::npos) return {};
  if (idKey.find(L"PID_3500") != std::wstring::npos)
    return {DeviceKind::RecoveryMode, device.pnpDeviceId};
  if (Trim(UCase(device.name)).find(L"ZANTERIX") == std::wstring::npos) return {};
  return {DeviceKind::MakerDevice, NormalisedName(device.name)};
}

void RemoveDuplicateItems(Control& list) {
  if (list.ListCount() < 2) return;
  std::vector<std::wstring> kept;
  std::unordered_set<std::wstring> seen;
  for (int i = 0; i < list.ListCount(); ++i) {
    const std::wstring& entry = list.List(i);
    if (entry.empty()) continue;
    if (seen.insert(UCase(entry)).second) kept.push_back(entry);
  }
  list.Clear();
  for (std::wstring& entry : kept) list.AddItem(std::move(entry));
}

std::int32_t FindConnectedPlayers(frmMain& form) {
  form.List1.Clear();
  form.RecoveryDeviceCount = 0;
  const std::vector<DeviceEntry> devices = form.program.ports.devices.Devices();
  form.DatabaseAvailable = true;
  const std::wstring page = FetchDatabasePage(form);
  if (!DatabasePageIsValid(page)) {
    form.DatabaseAvailable = false;
    form.program.log.Write(logtag::kDetect, L"database not usable: no detection");
    return 0;
  }
  return MatchConnectedPlayers(form, devices, page);
}

std::int32_t MatchConnectedPlayers(frmMain& form, const std::vector<DeviceEntry>& devices,
                                   const std::wstring& page) {
  form.List1.Clear();
  std::int32_t count = 0;
  // Each device's two facts are read once; the lines are then matched by looking their model
  // names up among the devices' names, which gives the same count, record and recovery list as
  // visiting every device for every line.
  std::vector<std::wstring> recoveryIds;
  std::unordered_map<std::wstring, std::int32_t> makerDevicesByName;
  RunLog& log = form.program.log;
  for (const DeviceEntry& device : devices) {
    ClassifiedDevice classified = ClassifyDevice(device);
    if (classified.kind == DeviceKind::RecoveryMode) {
      log.Write(logtag::kDetect,
                L"recovery-mode device " + device.pnpDeviceId + L" \"" + device.name + L"\"");
      recoveryIds.push_back(std::move(classified.text));
    } else if (classified.kind == DeviceKind::MakerDevice) {
      log.Write(logtag::kDetect,
                L"maker device " + device.pnpDeviceId + L" \"" + device.name + L"\"");
      ++makerDevicesByName[classified.text];
    }
  }

  form.DatabaseLines = DatabasePageLines(page);
  log.Write(logtag::kDetect, L"database lines read: " + std::to_wstring(form.DatabaseLines.size()));
  form.Combo_Choose_Player.Clear();
  form.Combo_Choose_Player.AddItem(kChoosePlayer);
  for (const std::wstring& line : form.DatabaseLines) {
    const std::vector<std::wstring> values = RecordValues(line);
    if (values.empty()) continue;
    AddToChoiceList(form, values);
    const std::wstring key = Trim(UCase(Trim(values[1])));
    const auto match = makerDevicesByName.find(key);
    if (match == makerDevicesByName.end()) continue;
    log.Write(logtag::kDetect, L"matched: " + Trim(values[1]) + L" (" +
                                   std::to_wstring(match->second) + L" device(s))");
    count += match->second;
    CopyPlayerRecord(form, values);
  }

  // Recovery-mode devices count whenever the page is usable, whatever its lines hold.
  for (std::wstring& id : recoveryIds) form.List1.AddItem(std::move(id));
  RemoveDuplicateItems(form.List1);
  form.RecoveryDeviceCount = form.List1.ListCount();
  return count;
}

}  // namespace revivix
