// How long one detection's matching takes for a database of N lines and a computer with N
// devices (a tenth of them the maker's players, one in recovery mode): the page wait is not
// counted (the page is there at once). Prints the median of several runs per size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/frmMain.h"
#include "detection/DeviceMatching.h"
#include "detection/PlayerDatabase.h"
#include "detection/SiteAddress.h"
#include "fakes/FakePlatform.h"

namespace {

using namespace revivix;

std::wstring Line(int i) {
  const std::wstring n = std::to_wstring(i);
  return L"PID_4157,Zanterix Fernclip " + n + L",2,10,MSC," + (i % 3 ? L"N/A" : L"S" + n) + L",fc" +
         n + L".htm,http://eu/,http://world/,0,Fernclip " + n +
         L" Firmware Updater,http://support/,1.0.0,http://update/";
}

struct Figures {
  double whole;     // FindConnectedPlayers: inventory, page (already there) and matching
  double fetch;     // the page alone, as the test engine hands it over (copies of the text)
  double matching;  // the matching of a page in hand
};

Figures MedianMs(int lines, int devices, int runs) {
  test::FakePlatform platform;
  frmMain form(platform.program);
  std::wstring page;
  for (int i = 0; i < lines; ++i) page += Line(i) + L"\r\n";
  platform.html.pages[DatabaseAddress(form)] = test::FakePage{page, L"", 0};
  for (int i = 0; i < devices; ++i) {
    const std::wstring n = std::to_wstring(i);
    if (i % 10 == 0)
      platform.devices.devices.push_back(
          {L"USB\\VID_2A5F&PID_4157\\" + n, L"Zanterix Fernclip " + n + L" USB Device"});
    else if (i == 1)
      platform.devices.devices.push_back({L"USB\\VID_2A5F&PID_3500\\" + n, L""});
    else
      platform.devices.devices.push_back({L"PCI\\VEN_8086&DEV_" + n, L"Device " + n});
  }
  const int expected = (std::min(lines, devices) + 9) / 10;
  auto median = [&](const auto& run) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
      const auto start = std::chrono::steady_clock::now();
      const int count = run();
      const auto end = std::chrono::steady_clock::now();
      if (count != expected) std::fprintf(stderr, "unexpected count %d\n", count);
      times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
  };
  Figures figures;
  figures.whole = median([&] { return FindConnectedPlayers(form); });
  figures.fetch =
      median([&] { return FetchDatabasePage(form).size() == page.size() ? expected : -1; });
  const std::vector<DeviceEntry> inventory = platform.devices.devices;
  figures.matching = median([&] { return MatchConnectedPlayers(form, inventory, page); });
  return figures;
}

}  // namespace

int main() {
#ifndef NDEBUG
  std::printf("note: an unoptimised build; the figures that count come from a Release build\n");
#endif
  const Figures small = MedianMs(1000, 1000, 21);
  const Figures large = MedianMs(2000, 2000, 21);
  for (const auto& [size, f] : {std::pair{1000, small}, std::pair{2000, large}})
    std::printf(
        "FindConnectedPlayers %d lines x %d devices: %.3f ms (of which the test engine's page "
        "hand-over %.3f ms); matching alone %.3f ms\n",
        size, size, f.whole, f.fetch, f.matching);
  std::printf("ratio 2000/1000: %.2f, matching alone %.2f (medians of 21 runs)\n",
              large.whole / small.whole, large.matching / small.matching);
  return 0;
}
