#include "app/Program.h"

#include "i18n/IWinAPI.h"

namespace revivix {

Program::Program(Ports p)
    : ports(p), fileReader(p.files, p.system.AnsiCodePage()), log(p.clock, p.logFile) {}

Program::~Program() = default;

FileSystem& Program::SharedFileSystem() {
  fileSystemCreated_ = true;
  return ports.files;
}

}  // namespace revivix
