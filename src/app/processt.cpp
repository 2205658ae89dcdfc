#include "app/processt.h"

#include "common/Text.h"

namespace revivix {

namespace {
constexpr std::size_t kNameLength = 260;
}

std::vector<ProcessTableEntry> ReadProcessTable(Processes& processes) {
  std::vector<ProcessTableEntry> table;
  const auto snapshot = processes.Snapshot();
  if (!snapshot) return table;
  table.reserve(snapshot->size());
  for (const auto& p : *snapshot) table.push_back({p.exeFile.substr(0, kNameLength), p.id});
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
