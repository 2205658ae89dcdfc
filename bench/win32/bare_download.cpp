// revivix-bare-download.exe URL FILE: the floor of the download benchmark. One plain
// URLDownloadToFileA call without a callback, the platform's own transfer with nothing of ours
// around it; prints the result, the time, the size and the throughput in the download
// benchmark's format.
#include <windows.h>

#include <urlmon.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: revivix-bare-download URL FILE\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const HRESULT hr = URLDownloadToFileA(nullptr, argv[1], argv[2], 0, nullptr);
  QueryPerformanceCounter(&end);
  const double seconds =
      static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(argv[2], GetFileExInfoStandard, &data);
  const double bytes = static_cast<double>(
      (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  std::printf("result=%s seconds=%.3f bytes=%.0f MBps=%.1f\n", SUCCEEDED(hr) ? "true" : "false",
              seconds, bytes, bytes / seconds / 1048576.0);
  return SUCCEEDED(hr) ? 0 : 1;
}
