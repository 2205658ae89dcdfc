// The player database page comes from a web server: whatever text it renders to, the update
// check, the device matching and the choice list read it without failing, and keep their rules
// (no record line has fewer than 14 values; a recovery-mode device counts once when the page is
// usable).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "MemoryFileSystem.h"
#include "app/Program.h"
#include "app/frmMain.h"
#include "common/Text.h"
#include "detection/DeviceMatching.h"
#include "detection/PlayerDatabase.h"
#include "i18n/ProfileReader.h"

namespace revivix::fuzz {
namespace {

// The services a detection touches, answering from the fuzz input; the others do nothing.
class Loop : public EventLoop {
 public:
  void Arm(Timer&) override {}
  void Disarm(Timer&) override {}
  void DoEvents() override {}
  void SetMousePointer(MousePointer) override {}
};
class NoProcesses : public Processes {
 public:
  std::optional<std::vector<ProcessEntry>> Snapshot() override { return std::nullopt; }
  ProcessId OwnerOfWindow(WindowHandle) override { return 0; }
  void EnableDebugPrivilege() override {}
  bool Terminate(ProcessId) override { return false; }
  ProcessId OwnId() override { return 1; }
  bool WaitForExit(ProcessId, int) override { return true; }
  bool PreviousInstanceRunning() override { return false; }
};
class Machine : public SystemInfo {
 public:
  VersionRecord Version() override { return {5, 1, 2600, 2, L""}; }
  std::wstring UserName() override { return L"fuzz"; }
  std::wstring ComputerName() override { return L"FUZZ"; }
  bool IsAdministratorsMember() override { return true; }
  std::wstring ProgramFolder() override { return L"C:\\Revivix"; }
  int TwipsPerPixelX() override { return 15; }
  int TwipsPerPixelY() override { return 15; }
  std::uint32_t SysColor(int) override { return 0; }
  std::uint16_t SystemDefaultLangID() override { return 0x0409; }
  int GetLocaleInfoW(std::uint32_t, std::uint32_t, wchar_t*, int) override { return 0; }
  int GetLocaleInfoA(std::uint32_t, std::uint32_t, wchar_t*, int) override { return 0; }
  const CodePage& AnsiCodePage() override { return codePage; }
  CodePage codePage = CodePage::Windows1252();
};
class Window : public MainWindow {
 public:
  std::uint32_t GetStyle() override { return 0; }
  void SetStyle(std::uint32_t) override {}
  void RemoveSystemMenuItem(int) override {}
  void MakeTopmost() override {}
  void Destroy() override {}
};
class Page : public HtmlDocument {
 public:
  explicit Page(std::wstring text) : text_(std::move(text)) {}
  std::wstring ReadyState() override { return L"complete"; }
  std::wstring OuterText() override { return text_; }
  std::wstring OuterHtml() override { return text_; }

 private:
  std::wstring text_;
};
class Site : public HtmlEngine {
 public:
  std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring&) override {
    return std::make_unique<Page>(text);
  }
  std::wstring text;
};
class NoShell : public Shell {
 public:
  std::intptr_t Execute(const std::wstring&, const std::wstring&, const std::wstring&,
                        const std::wstring&, int) override {
    return 0;
  }
};
class NoRegistry : public Registry {
 public:
  RegistryValue LocalMachineValue(const std::wstring&, const std::wstring&) override { return {}; }
};
class Inventory : public DeviceInventory {
 public:
  std::vector<DeviceEntry> Devices() override { return devices; }
  std::vector<DeviceEntry> devices;
};
class Online : public ConnectionCheck {
 public:
  bool CanConnect(const std::wstring&) override { return true; }
  bool RequestAnswers(const std::wstring&, int) override { return true; }
};
class NoDownload : public UrlDownload {
 public:
  std::int32_t DownloadToFile(const std::wstring&, const std::wstring&,
                              BindStatusCallback&) override {
    return -1;
  }
  int DeleteCacheEntry(const std::wstring&) override { return 0; }
  std::uint32_t LastError() override { return 0; }
};
class EmptyDesktop : public Desktop {
 public:
  void EnumWindows(const WindowProc&, std::intptr_t) override {}
  void EnumChildWindows(WindowHandle, const WindowProc&, std::intptr_t) override {}
  int GetWindowTextA(WindowHandle, char*, int) override { return 0; }
  const CodePage& AnsiCodePage() override { return codePage; }
  CodePage codePage = CodePage::Windows1252();
  std::optional<std::intptr_t> SendMessageTimeoutA(WindowHandle, std::uint32_t, std::uintptr_t,
                                                   std::intptr_t, std::uint32_t,
                                                   std::uint32_t) override {
    return 0;
  }
  ProcessId GetWindowThreadProcessId(WindowHandle) override { return 0; }
  bool PostMessageA(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
    return false;
  }
  bool SetWindowPos(WindowHandle, WindowHandle, int, int, int, int, std::uint32_t) override {
    return false;
  }
};
class NoFolders : public FolderGuard {
 public:
  Kind Examine(const std::wstring&) override { return Kind::Missing; }
  bool CreateProtectedFolder(const std::wstring&) override { return false; }
  bool RemoveLink(const std::wstring&) override { return false; }
  bool OthersMayWrite(const std::wstring&) override { return true; }
  bool ApplyProtection(const std::wstring&) override { return false; }
  std::optional<std::vector<std::wstring>> List(const std::wstring&) override {
    return std::nullopt;
  }
  bool RemoveFile(const std::wstring&) override { return false; }
  bool RemoveFolder(const std::wstring&) override { return false; }
  std::unique_ptr<FileHold> Hold(const std::wstring&) override { return nullptr; }
  std::unique_ptr<FolderHold> HoldFolder(const std::wstring&) override { return nullptr; }
};

}  // namespace
}  // namespace revivix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace revivix;
  using namespace revivix::fuzz;
  Loop loop;
  MemoryFileSystem files;
  NoProcesses processes;
  Machine machine;
  PortableProfileStrings kernel32(files), unicows(files);
  Window window;
  Site site;
  NoShell shell;
  NoRegistry registry;
  Inventory devices;
  Online online;
  EmptyDesktop desktop;
  NoDownload download;
  NoFolders folders;
  StdClock clock;  // the log is never started here
  StdLogFile logFile;
  Program program(Ports{loop, files, processes, machine, kernel32, unicows, window, site, shell,
                        registry, devices, online, desktop, download, folders, clock, logFile});
  frmMain form(program);

  site.text = DecodeAnsi1252(data, size);
  // A player named like the first model on the page, the same player's disk entry, and one
  // player in recovery mode.
  const std::vector<std::wstring> firstValues =
      Split(DatabasePageLines(site.text).empty() ? std::wstring() : DatabasePageLines(site.text)[0],
            L",");
  const std::wstring model = firstValues.size() > 1 ? firstValues[1] : L"Zanterix";
  devices.devices = {{L"USB\\VID_2A5F&PID_4157\\1", L"Zanterix " + model + L" USB Device"},
                     {L"USBSTOR\\DISK\\1", model + L" zanterix"},
                     {L"USB\\VID_2A5F&PID_3500\\1", model}};

  LoadPlayerDatabase(form);
  const std::int32_t count = FindConnectedPlayers(form);
  const bool usable = DatabasePageIsValid(site.text);
  if (form.DatabaseAvailable != usable) std::abort();
  if (form.RecoveryDeviceCount != (usable ? 1 : 0)) std::abort();
  std::size_t records = 0;
  for (const std::wstring& line : form.DatabaseLines)
    if (!RecordValues(line).empty()) ++records;
  if (count < 0 || static_cast<std::size_t>(count) > 2 * records) std::abort();
  if (form.Combo_Choose_Player.ListCount() > static_cast<int>(records) + 1) std::abort();
  if (form.UpdateAvailable && records == 0) std::abort();
  return 0;
}
