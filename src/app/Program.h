// One run of the program: the platform services it uses and the module-level state that
// belongs to the run (the chosen profile-string implementation, the shared file-system object).
// The program and every test create one, so no state outlives its run.
#pragma once

#include <memory>

#include "i18n/FileReader.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/HtmlEngine.h"
#include "platform/MainWindow.h"
#include "platform/Processes.h"
#include "platform/ProfileStrings.h"
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
  UrlDownload& download;
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

  // The shared file-system object: created on first use, released when the wizard quits.
  FileSystem& SharedFileSystem();
  void ReleaseFileSystem() { fileSystemCreated_ = false; }
  bool FileSystemCreated() const { return fileSystemCreated_; }

 private:
  bool fileSystemCreated_ = false;
};

}  // namespace revivix
