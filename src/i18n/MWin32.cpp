#include "i18n/MWin32.h"

namespace revivix {

bool IsWindowsNT(SystemInfo& system) {
  return system.Version().platformId >= 2;
}

IWinAPI& GetWinAPI(Program& program) {
  if (!program.winApi) {
    if (IsWindowsNT(program.ports.system))
      program.winApi = std::make_unique<CWinAPIUnicode>(program.ports.kernel32Profile);
    else
      program.winApi = std::make_unique<CWinAPIANSI>(program.ports.unicowsProfile);
  }
  return *program.winApi;
}

}  // namespace revivix
