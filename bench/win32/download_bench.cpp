// revivix-download-bench.exe URL FILE [PLAIN]: downloads URL to FILE with TumoDL on the real
// download service, with the wizard's progress display (sizes, progress bar, one round of events
// per progress event), and prints the time, the size, the throughput and the number of progress
// events. With PLAIN the progress event has no handler: the service's own speed, for comparison.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/Program.h"
#include "app/frmMain.h"
#include "download/FirmwareDownload.h"
#include "download/TumoDL.h"
#include "platform/FileSystem.h"
#include "platform/win32/Win32ConnectionCheck.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32DeviceInventory.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32HtmlEngine.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32ProfileStrings.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32UrlDownload.h"

using namespace revivix;
using namespace revivix::win32;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: revivix-download-bench URL FILE [PLAIN]\n");
    return 2;
  }
  const bool plain = argc > 3 && std::strcmp(argv[3], "PLAIN") == 0;
  const std::wstring url(argv[1], argv[1] + std::strlen(argv[1]));
  const std::wstring file(argv[2], argv[2] + std::strlen(argv[2]));

  Win32EventLoop loop;
  StdFileSystem files;
  Win32Processes processes(L"Local\\RevivixDownloadBench." +
                           std::to_wstring(GetCurrentProcessId()));
  Win32SystemInfo system;
  Kernel32ProfileStrings kernel32;
  UnicowsProfileStrings unicows;
  Win32MainWindow window;
  Win32HtmlEngine html;
  Win32Shell shell(window);
  Win32Registry registry;
  Win32DeviceInventory devices;
  Win32ConnectionCheck connection;
  Win32Desktop desktop;
  Win32UrlDownload download;
  Program program(Ports{loop, files, processes, system, kernel32, unicows, window, html, shell,
                        registry, devices, connection, desktop, download});
  frmMain form(program);

  TumoDL dl(download, loop);
  long events = 0;
  if (!plain) {
    dl.TumoDLProg = [&](std::int32_t progress, std::int32_t max) {
      ++events;
      mydl_TumoDLProg(form, progress, max);
    };
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const auto result = dl.StartTheStinkinDownLoad(url, file);
  QueryPerformanceCounter(&end);
  const double seconds =
      static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);

  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
  const double bytes = static_cast<double>(
      (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  std::printf("result=%s seconds=%.3f bytes=%.0f MBps=%.1f progress_events=%ld label=%ls\n",
              result == true ? "true" : "false", seconds, bytes, bytes / seconds / 1048576.0,
              events, form.Label_Actual_Size.Caption().c_str());
  return result == true ? 0 : 1;
}
