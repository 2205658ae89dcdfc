// The time from the database page's arrival to the serial-number page, for a database of 1000
// and of 10,000 lines and one player in recovery mode, with the wizard's real window and list
// views: the page is rendered as the HTML engine's worker renders it, then the detection matches
// it and fills the player list. Prints the figures, and one REVIVIX-BENCH line per figure.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/Lifecycle.h"
#include "app/Program.h"
#include "app/frmMain.h"
#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"
#include "detection/PlayerIdentification.h"
#include "i18n/Lists.h"
#include "platform/FileSystem.h"
#include "platform/win32/Win32ConnectionCheck.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32FolderGuard.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32ProfileStrings.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32UrlDownload.h"
#include "platform/win32/Win32Views.h"

using namespace revivix;
using namespace revivix::win32;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The database page as the maker's site serves it: one line per model, "<br>" after each.
std::string DatabasePage(int lines) {
  std::string page =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"windows-1252\">\n<title>Zanterix player "
      "database</title>\n</head>\n<body>\n";
  for (int i = 0; i < lines; ++i) {
    const std::string n = std::to_string(i);
    page += "PID_4157,Zanterix Fernclip " + n + ",2,10,MSC,S" + n + ",fc" + n +
            ".htm,http://127.0.0.1/revivix/fw/eu/,http://127.0.0.1/revivix/fw/world/,0,Fernclip " +
            n + " Firmware Updater,http://127.0.0.1/revivix/support/fc" + n +
            ".htm,1.0.0,http://127.0.0.1/revivix/download/revivix.htm<br>\n";
  }
  return page + "</body>\n</html>\n";
}

// The page has arrived: its document is complete with the rendered text it was given.
class ArrivedDocument : public HtmlDocument {
 public:
  explicit ArrivedDocument(std::wstring text) : text_(std::move(text)) {}
  std::wstring ReadyState() override { return L"complete"; }
  std::wstring OuterText() override { return text_; }
  std::wstring OuterHtml() override { return L""; }

 private:
  std::wstring text_;
};

class ArrivedPages : public HtmlEngine {
 public:
  std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring&) override {
    return std::make_unique<ArrivedDocument>(text);
  }
  std::wstring text;
};

class OneRecoveryPlayer : public DeviceInventory {
 public:
  std::vector<DeviceEntry> Devices() override {
    return {{L"USB\\VID_2A5F&PID_3500\\BENCH1", L"USB Mass Storage Device"}};
  }
};

struct Figures {
  double render = 0;     // decoding and rendering the page, as the engine's worker does
  double detection = 0;  // from the rendered page to the serial-number page, painted
  int entries = 0;
};

Figures Measure(int lines) {
  Win32EventLoop loop;
  StdFileSystem files;
  Win32Processes processes;
  Win32SystemInfo system;
  Kernel32ProfileStrings kernel32;
  UnicowsProfileStrings unicows;
  Win32MainWindow window;
  ArrivedPages html;
  Win32Shell shell(window);
  Win32Registry registry;
  OneRecoveryPlayer devices;
  Win32ConnectionCheck connection;
  Win32Desktop desktop;
  Win32UrlDownload download;
  Win32FolderGuard folders;
  StdClock clock;  // the log is never started here
  StdLogFile logFile;
  Program program(Ports{loop, files, processes, system, kernel32, unicows, window, html, shell,
                        registry, devices, connection, desktop, download, folders, clock, logFile});
  Figures figures;
  frmMain form(program);
  FormViews views(form, loop, window, nullptr);
  HWND main = views.Create(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  if (!main) return figures;
  FillLanguageAndRegionLists(form);
  form.Combo_Region.SetText(L"Europe");
  form.Combo_Language.SetText(L"English");
  form.LanguageAndRegionChosen = true;
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);

  const std::string page = DatabasePage(lines);
  const auto arrived = Clock::now();
  html.text = RenderInnerText(DecodeHtmlBytes(page, "text/html"));
  const auto rendered = Clock::now();
  DetectPlayer(form);
  UpdateWindow(main);
  const auto shown = Clock::now();
  if (!form.Frame_DetectPlayer_by_SNO.Visible()) {
    std::printf("%d lines: the serial-number page did not open\n", lines);
    return figures;
  }
  figures.render = Ms(arrived, rendered);
  figures.detection = Ms(rendered, shown);
  HWND list = nullptr;
  EnumChildWindows(
      main,
      [](HWND child, LPARAM out) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"COMBOBOX") == 0 && SendMessageW(child, CB_GETCOUNT, 0, 0) > 100) {
          *reinterpret_cast<HWND*>(out) = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&list));
  figures.entries = list ? static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0)) : 0;
  DestroyWindow(main);
  return figures;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  const double goalMs = 2000;
  for (const int lines : {1000, 10000}) {
    const Figures f = Measure(lines);
    const double total = f.render + f.detection;
    std::printf(
        "%d lines: page arrival to the serial-number page %.0f ms (rendering %.0f ms, detection "
        "and list fill %.0f ms); the list window holds %d entries\n",
        lines, total, f.render, f.detection, f.entries);
    std::printf(
        "REVIVIX-BENCH\tlist fill %d lines to the serial-number page\t%.0f ms\t%.0f ms\t%.2f\n",
        lines, total, goalMs, total / goalMs);
  }
  return 0;
}
