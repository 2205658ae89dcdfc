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
#include "platform/win32/Win32Platform.h"

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

  Win32Platform platform(L"Local\\RevivixDownloadBench." + std::to_wstring(GetCurrentProcessId()));
  Program program(platform.AsPorts());
  frmMain form(program);

  TumoDL dl(platform.download, platform.loop);
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
