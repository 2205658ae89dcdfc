#include "app/processt.h"

#include <algorithm>

#include "common/Text.h"

namespace revivix {

namespace {
constexpr std::size_t kNameLength = 260;

// The name field keeps 260 units of a name; where the cut would fall inside a surrogate pair
// (UTF-16), the whole character goes.
std::wstring NameField(const std::wstring& name) {
  std::size_t length = std::min(name.size(), kNameLength);
  if (length < name.size()) {
    const auto last = static_cast<std::uint32_t>(name[length - 1]);
    if (last >= 0xD800 && last <= 0xDBFF) --length;
  }
  return name.substr(0, length);
}
}  // namespace

std::vector<ProcessTableEntry> ReadProcessTable(Processes& processes) {
  std::vector<ProcessTableEntry> table;
  const auto snapshot = processes.Snapshot();
  if (!snapshot) return table;
  table.reserve(snapshot->size());
  for (const auto& p : *snapshot) table.push_back({NameField(p.exeFile), p.id});
  return table;
}

void KillProcessByName(Processes& processes, std::wstring_view name) {
  const std::wstring wanted = UCase(name);
  const ProcessId own = processes.OwnId();
  for (const auto& entry : ReadProcessTable(processes)) {
    // The wizard ends an earlier copy of itself, never the copy that is starting.
    if (entry.id == own) continue;
    if (UCase(entry.exeFile).find(wanted) != std::wstring::npos) {
      TerminateProcessOf(processes, entry.id, 0);
      return;
    }
  }
}

bool TerminateProcessOf(Processes& processes, ProcessId processId, WindowHandle window) {
  if (window != 0) processId = processes.OwnerOfWindow(window);
  if (processId == 0) return false;
  processes.EnableDebugPrivilege();
  return processes.Terminate(processId);
}

}  // namespace revivix
