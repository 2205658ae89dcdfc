// The platform of a native test: a temporary program folder on the real file system, a virtual
// clock, a process table, a machine profile and a recording main window, wired into one Program.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/Program.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeFolderGuard.h"
#include "fakes/FakeHtmlEngine.h"
#include "fakes/FakeUrlDownload.h"
#include "fakes/VirtualDesktop.h"
#include "i18n/ProfileReader.h"

namespace revivix::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

class FakeProcesses : public Processes {
 public:
  std::optional<std::vector<ProcessEntry>> Snapshot() override;
  ProcessId OwnerOfWindow(WindowHandle window) override;
  void EnableDebugPrivilege() override { ++debugPrivilegeRequests; }
  bool Terminate(ProcessId id) override;
  ProcessId OwnId() override { return ownId; }
  bool PreviousInstanceRunning() override { return previousInstance; }
  // Records the wait and runs `onWait`, which says whether the process ended within it.
  bool WaitForExit(ProcessId id, int milliseconds) override;

  std::vector<ProcessEntry> running;
  std::map<WindowHandle, ProcessId> windowOwners;
  std::vector<ProcessId> protectedIds;  // processes that cannot be opened
  std::vector<ProcessId> terminated;
  ProcessId ownId = 4000;
  bool previousInstance = false;
  bool snapshotFails = false;
  int debugPrivilegeRequests = 0;
  std::vector<std::pair<ProcessId, int>> waits;  // (process, milliseconds)
  std::function<bool(ProcessId)> onWait;         // none: every process has ended
};

// The machine the test pretends to run on.
class FakeSystemInfo : public SystemInfo {
 public:
  VersionRecord Version() override { return version; }
  std::wstring UserName() override { return userName; }
  std::wstring ComputerName() override { return computerName; }
  bool IsAdministratorsMember() override { return administrator; }
  std::wstring ProgramFolder() override { return programFolder; }
  int TwipsPerPixelX() override { return twipsPerPixel; }
  int TwipsPerPixelY() override { return twipsPerPixel; }
  std::uint32_t SysColor(int index) override { return index == 15 ? buttonFace : 0; }
  std::uint16_t SystemDefaultLangID() override { return langId; }
  int GetLocaleInfoW(std::uint32_t lcid, std::uint32_t type, wchar_t* data, int size) override;
  int GetLocaleInfoA(std::uint32_t lcid, std::uint32_t type, wchar_t* data, int size) override;
  const CodePage& AnsiCodePage() override { return codePage; }

  // A machine with the given system language: its code and English name as the locale reports
  // them. Without an entry the locale has no data.
  void SetSystemLanguage(std::uint16_t id, const std::wstring& englishName);

  VersionRecord version{5, 1, 2600, 2, L"Service Pack 3"};
  std::wstring userName = L"Maria";
  std::wstring computerName = L"WORKSHOP-PC";
  bool administrator = true;
  std::wstring programFolder;
  int twipsPerPixel = 15;
  std::uint32_t buttonFace = 0xF0F0F0;
  std::uint16_t langId = 0x0409;
  CodePage codePage = CodePage::Windows1252();
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::wstring> localeData{
      {{0x0409, 0x0001}, L"0409"}, {{0x0409, 0x1001}, L"English"}};
  std::vector<std::uint32_t> queriedTypes;  // with their flags
  int wideQueries = 0;
  int ansiQueries = 0;

 private:
  int Answer(int& counter, std::uint32_t lcid, std::uint32_t type, wchar_t* data, int size);
};

class FakeMainWindow : public MainWindow {
 public:
  std::uint32_t GetStyle() override { return style; }
  void SetStyle(std::uint32_t s) override { style = s; }
  void RemoveSystemMenuItem(int position) override { removedMenuItems.push_back(position); }
  void MakeTopmost() override { topmost = true; }
  void Destroy() override { ++destroyed; }

  std::uint32_t style = 0x16CF0000;  // an overlapped window with every frame part
  std::vector<int> removedMenuItems;
  bool topmost = false;
  int destroyed = 0;
};

// Profile functions of one library: the portable reader, counting its calls.
class CountingProfileStrings : public PortableProfileStrings {
 public:
  using PortableProfileStrings::PortableProfileStrings;
  std::uint32_t GetPrivateProfileStringW(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& fallback, wchar_t* buffer,
                                         std::uint32_t size,
                                         const std::wstring& fileName) override {
    ++calls;
    return PortableProfileStrings::GetPrivateProfileStringW(section, key, fallback, buffer, size,
                                                            fileName);
  }
  int calls = 0;
};

// Records every shell request and answers with `result`.
class FakeShell : public Shell {
 public:
  struct Call {
    std::wstring verb, file, parameters, directory;
    int showCommand;
  };
  std::intptr_t Execute(const std::wstring& verb, const std::wstring& file,
                        const std::wstring& parameters, const std::wstring& directory,
                        int showCommand) override {
    calls.push_back({verb, file, parameters, directory, showCommand});
    if (onExecute) onExecute(calls.back());
    return result;
  }
  std::optional<bool> StartedProcessEnded() override { return processEnded; }
  std::vector<Call> calls;
  std::function<void(const Call&)> onExecute;  // runs inside the request
  std::intptr_t result = 42;
  // Whether the started program has ended: none by default (the shell cannot tell).
  std::optional<bool> processEnded;
};

// The local time on the virtual clock: `start` plus the virtual milliseconds, so every stamp of
// the repair log is known in advance.
class FakeClock : public Clock {
 public:
  explicit FakeClock(FakeEventLoop& loop) : loop_(loop) {}
  LocalTime Now() override;
  std::uint64_t Milliseconds() override { return static_cast<std::uint64_t>(loop_.Now()); }
  LocalTime start{2026, 3, 14, 9, 26, 53, 0};

 private:
  FakeEventLoop& loop_;
};

// The repair log's file in the program folder; `fails` makes every call fail, as a read-only
// folder does, and `appendsLeft` lets appends fail after some, as a disk that fills up does.
class FakeLogFile : public StdLogFile {
 public:
  std::optional<std::uint64_t> Size(const std::wstring& path) override {
    ++calls;
    return fails ? std::nullopt : StdLogFile::Size(path);
  }
  bool Append(const std::wstring& path, std::string_view bytes) override {
    ++calls;
    if (appendsLeft == 0) return false;
    if (appendsLeft > 0) --appendsLeft;
    return !fails && StdLogFile::Append(path, bytes);
  }
  bool Rename(const std::wstring& source, const std::wstring& target) override {
    ++calls;
    return !fails && StdLogFile::Rename(source, target);
  }
  bool fails = false;
  int appendsLeft = -1;  // from 0 on, appends fail (a disk that fills up); -1: never
  int calls = 0;
};

class FakePlatform {
 public:
  FakePlatform();

  // Writes a file below the program folder ("Languages/English.txt", say).
  void WriteFile(const std::string& relative, const std::string& bytes);
  void WriteUtf16File(const std::string& relative, const std::wstring& text);
  std::string ReadFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  // Copies a file of the repository's data folder into the program folder.
  void CopyData(const std::string& relative);
  // The program folder's path in the program's own form.
  std::wstring Folder() const;
  // A machine whose ANSI code page is 1252, 1251 or 932: the settings file and the updater's
  // window texts are in it.
  void SetAnsiCodePage(std::uint32_t id);

  TempFolder folder;
  FakeEventLoop loop;
  StdFileSystem files;
  FakeProcesses processes;
  FakeSystemInfo system;
  CountingProfileStrings kernel32{files};
  CountingProfileStrings unicows{files};
  FakeMainWindow window;
  FakeHtmlEngine html;
  FakeShell shell;
  FakeRegistry registry;
  FakeDeviceInventory devices;
  FakeConnectionCheck connection;
  VirtualDesktop desktop{loop};
  FakeUrlDownload download{loop};
  FakeFolderGuard folders;
  FakeClock clock{loop};
  FakeLogFile logFile;
  Program program;
};

}  // namespace revivix::test
