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

#include "driver/WizardSession.h"

using revivix::driver::Page;
using revivix::driver::PageName;
using revivix::driver::Utf8;
using revivix::driver::WizardSession;

namespace {

constexpr wchar_t kPlayerKey[] =
    L"System\\CurrentControlSet\\Enum\\USB\\VID_1F3A&PID_0200\\ZXDEMO0001";
constexpr wchar_t kPlayerVendorKey[] = L"System\\CurrentControlSet\\Enum\\USB\\VID_1F3A&PID_0200";
constexpr wchar_t kUsbClass[] = L"{36fc9e60-c465-11cf-8056-444553540000}";

void SetText(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
  HKEY opened;
  if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
}

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
  WizardSession::WaitUntil([&] { return wizard.Text("Label_Total_FileSize") != L"/00.00 MB"; },
                           10000);
  demo.Saw("download", "download", 300);
  HWND updater = nullptr;
  if (!WizardSession::WaitUntil(
          [&] { return (updater = FindWindowW(nullptr, updaterTitle.c_str())) != nullptr; }, 60000))
    return demo.Fail(wizard, "updater running");
  demo.Saw("updater running", "updater");
  wchar_t expected[1024] = {};
  GetPrivateProfileStringW(L"Strings", L"IDS_FW_UPDATE_SUCCESSFUL", L"", expected, 1024,
                           (folder + L"\\Languages\\" + language + L".txt").c_str());
  const std::wstring success = expected;
  if (!WizardSession::WaitUntil(
          [&] {
            const std::wstring label = wizard.Text("Uni_Error_Label1");
            return !success.empty() && label.size() >= success.size() &&
                   label.compare(label.size() - success.size(), success.size(), success) == 0;
          },
          90000))
    return demo.Fail(wizard, "success");
  WizardSession::WaitUntil([&] { return FindWindowW(nullptr, updaterTitle.c_str()) == nullptr; },
                           10000);
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
  // The wizard supports Windows 5.1; the player shows up as a maker's USB device.
  SetText(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\fernclip.exe", L"Version", L"winxp");
  SetText(HKEY_LOCAL_MACHINE, kPlayerKey, L"DeviceDesc", argv[3]);
  SetText(HKEY_LOCAL_MACHINE, kPlayerKey, L"FriendlyName", argv[3]);
  SetText(HKEY_LOCAL_MACHINE, kPlayerKey, L"ClassGUID", kUsbClass);
  const int result = Run(argv[1], argv[2], argv[4], argc == 6 ? argv[5] : L"English");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPlayerVendorKey);
  // Wine's own Windows version comes back, which the window test of the same prefix expects.
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\fernclip.exe");
  return result;
}
