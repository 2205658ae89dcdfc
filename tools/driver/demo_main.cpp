// revivix-demo.exe, the demo's user: connects a simulated player in Wine's device list, runs the
// wizard from its folder and walks the whole repair like a user, saving a screenshot of every page
// it passes and printing the pages in the order it saw them.
//   revivix-demo <wizard folder> <screenshot folder> "<player name>" "<updater title>" [language]
// The language (default English) is the one settings.ini of the wizard's folder chose.
// Exit code 0 when the repair ended with the success message and the wizard closed; 1 when a page
// did not come (the visible texts are printed); 2 on wrong arguments.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/WindowProbe.h"
#include "driver/WineMachine.h"
#include "driver/WizardSession.h"

using revivix::driver::Page;
using revivix::driver::PageName;
using revivix::driver::Utf8;
using revivix::driver::WaitUntil;
using revivix::driver::WizardSession;

namespace {

class Demo {
 public:
  explicit Demo(std::wstring shots) : shots_(std::move(shots)) {}

  // Records a page: its name on the output and its screenshot, numbered in order.
  void Saw(const char* page, const char* file, DWORD settleMs = 700) {
    Sleep(settleMs);  // let the page finish painting
    wchar_t name[32];
    swprintf(name, 32, L"%02d-", ++count_);
    std::wstring path = shots_ + L"\\" + name;
    for (const char* c = file; *c; ++c) path += static_cast<wchar_t>(*c);
    path += L".bmp";
    const bool saved = revivix::driver::SaveScreenshot(path);
    std::printf("page %d: %s%s\n", count_, page, saved ? "" : " (no screenshot)");
    std::fflush(stdout);
  }

  int Fail(const WizardSession& wizard, const char* expected) {
    std::printf("demo: expected the page \"%s\"; the wizard shows \"%s\" with:\n%s", expected,
                PageName(wizard.CurrentPage()), wizard.VisibleTexts().c_str());
    return 1;
  }

 private:
  std::wstring shots_;
  int count_ = 0;
};

int Run(const std::wstring& folder, const std::wstring& shots, const std::wstring& updaterTitle,
        const std::wstring& language) {
  Demo demo(shots);
  WizardSession wizard;
  if (!wizard.Start(folder, 30000)) {
    std::printf("demo: the wizard's window did not appear\n");
    return 1;
  }
  demo.Saw("start", "start");
  if (!wizard.WaitForPage(Page::License, 30000)) return demo.Fail(wizard, "license");
  demo.Saw("license", "license");
  if (!wizard.Click("Cmd_I_Agree")) return demo.Fail(wizard, "license with Accept");
  if (!wizard.WaitForPage(Page::Download, 30000)) return demo.Fail(wizard, "download");
  WaitUntil(10000, [&] { return wizard.Text("Label_Total_FileSize") != L"/00.00 MB"; });
  demo.Saw("download", "download", 300);
  HWND updater = nullptr;
  if (!WaitUntil(60000,
                 [&] { return (updater = FindWindowW(nullptr, updaterTitle.c_str())) != nullptr; }))
    return demo.Fail(wizard, "updater running");
  demo.Saw("updater running", "updater");
  wchar_t expected[1024] = {};
  GetPrivateProfileStringW(L"Strings", L"IDS_FW_UPDATE_SUCCESSFUL", L"", expected, 1024,
                           (folder + L"\\Languages\\" + language + L".txt").c_str());
  const std::wstring success = expected;
  if (!WaitUntil(90000, [&] {
        const std::wstring label = wizard.Text("Uni_Error_Label1");
        return !success.empty() && label.size() >= success.size() &&
               label.compare(label.size() - success.size(), success.size(), success) == 0;
      }))
    return demo.Fail(wizard, "success");
  WaitUntil(10000, [&] { return FindWindowW(nullptr, updaterTitle.c_str()) == nullptr; });
  demo.Saw("success", "success");
  std::printf("demo: %s\n", Utf8(wizard.Text("Uni_Error_Label1")).c_str());
  if (!wizard.Click("cmdExit") || !wizard.WaitForEnd(15000)) return demo.Fail(wizard, "ended");
  std::printf("page %s\n", PageName(Page::Ended));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr,
                 "usage: revivix-demo <wizard folder> <screenshot folder> <player> <updater> "
                 "[language]\n");
    return 2;
  }
  // The wizard supports Windows 5.1; the player shows up as a maker's USB device. Both go again
  // when the machine ends: Wine's own Windows version comes back, which the window test of the
  // same prefix expects.
  revivix::driver::WineMachine machine;
  if (!machine.SetWindowsVersion(L"fernclip.exe", L"winxp") ||
      !machine.AddUsbDevice(L"VID_1F3A&PID_0200\\ZXDEMO0001", argv[3], argv[3])) {
    std::fprintf(stderr, "revivix-demo: the machine could not be set up\n");
    return 1;
  }
  return Run(argv[1], argv[2], argv[4], argc == 6 ? argv[5] : L"English");
}
