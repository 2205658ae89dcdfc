// One run of the program: the platform services it uses and the module-level state that
// belongs to the run (the chosen profile-string implementation, the shared file-system object).
// The program and every test create one, so no state outlives its run.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/RunLog.h"
#include "automation/UpdaterWindows.h"
#include "i18n/FileReader.h"
#include "platform/Clock.h"
#include "platform/ConnectionCheck.h"
#include "platform/Desktop.h"
#include "platform/DeviceInventory.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/FolderGuard.h"
#include "platform/HtmlEngine.h"
#include "platform/LogFile.h"
#include "platform/MainWindow.h"
#include "platform/Processes.h"
#include "platform/ProfileStrings.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "platform/UrlDownload.h"

namespace revivix {

class IWinAPI;

struct Ports {
  EventLoop& loop;
  FileSystem& files;
  Processes& processes;
  SystemInfo& system;
  ProfileStrings& kernel32Profile;  // the system's own profile functions
  ProfileStrings& unicowsProfile;   // the Unicode layer of the older Windows family
  MainWindow& window;
  HtmlEngine& html;
  Shell& shell;
  Registry& registry;
  DeviceInventory& devices;
  ConnectionCheck& connection;
  Desktop& desktop;  // the updater's windows
  UrlDownload& download;
  FolderGuard& folders;  // the FW folder and the hold on the updater
  Clock& clock;          // the repair log's stamps and durations
  LogFile& logFile;      // the repair log's file
};

class Program {
 public:
  explicit Program(Ports ports);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Ports ports;

  // MWin32: the profile-string implementation, chosen on first use and kept for the run.
  std::unique_ptr<IWinAPI> winApi;

  // FileReader: the parsed settings file.
  FileReader fileReader;

  // BasWinHandler: the handles of the updater's windows, all 0 until the automation finds them.
  UpdaterWindows updaterWindows;

  // The repair log of this run, written from Initialise on.
  RunLog log;

  // The shared file-system object: created on first use, released when the wizard quits.
  FileSystem& SharedFileSystem();
  void ReleaseFileSystem() { fileSystemCreated_ = false; }
  bool FileSystemCreated() const { return fileSystemCreated_; }

  // The maker's site address in use for this run, once it has been resolved (site.ini beside
  // the program, else the built-in address).
  std::optional<std::wstring> siteAddress;

 private:
  bool fileSystemCreated_ = false;
};

}  // namespace revivix
