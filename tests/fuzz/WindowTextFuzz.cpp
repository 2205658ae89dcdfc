// The updater's window texts come from another program: titles and captions of any bytes and
// length, controls that answer WM_GETTEXTLENGTH with any number. Discovery and the live read must
// stay inside their buffers, never crash, and keep the table consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "automation/BasWinHandler.h"
#include "common/Text.h"

namespace {

using namespace revivix;

// Window i (handle i + 1) has the stored text `stored[i]` and the live text `live[i]`; window 1
// is the only top-level window with children: all the others.
struct BytesDesktop : Desktop {
  std::vector<std::string> stored, live;
  std::vector<std::intptr_t> claimed;
  CodePage codePage = CodePage::Windows1252();
  const CodePage& AnsiCodePage() override { return codePage; }
  void EnumWindows(const WindowProc& proc, std::intptr_t value) override {
    for (std::size_t i = 0; i < 2 && i < stored.size(); ++i)
      if (proc(i + 1, value) == 0) return;
  }
  void EnumChildWindows(WindowHandle parent, const WindowProc& proc, std::intptr_t value) override {
    if (parent != 1) return;
    for (std::size_t i = 2; i < stored.size(); ++i)
      if (proc(i + 1, value) == 0) return;
  }
  int GetWindowTextA(WindowHandle window, char* buffer, int maxCount) override {
    if (window == 0 || window > stored.size() || maxCount <= 0) return 0;
    const std::string& s = stored[window - 1];
    const std::size_t n = std::min(s.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
  }
  std::optional<std::intptr_t> SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                                   std::uintptr_t wParam, std::intptr_t lParam,
                                                   std::uint32_t, std::uint32_t) override {
    if (window == 0 || window > live.size()) return 0;
    const std::string& s = live[window - 1];
    if (message == kWmGetTextLength) return claimed[window - 1];
    if (message != kWmGetText || wParam == 0) return 0;
    const std::size_t n = std::min(s.size(), static_cast<std::size_t>(wParam - 1));
    std::memcpy(reinterpret_cast<char*>(lParam), s.data(), n);
    reinterpret_cast<char*>(lParam)[n] = '\0';
    return static_cast<std::intptr_t>(n);
  }
  bool PostMessageA(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
    return false;
  }
  ProcessId GetWindowThreadProcessId(WindowHandle) override { return 0; }
  bool SetWindowPos(WindowHandle, WindowHandle, int, int, int, int, std::uint32_t) override {
    return false;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Pieces separated by 0x01: the search title, then one text per window.
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0x01)
      pieces.emplace_back();
    else
      pieces.back().push_back(static_cast<char>(data[i]));
  }
  BytesDesktop desktop;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    desktop.stored.push_back(pieces[i]);
    desktop.live.push_back(pieces[pieces.size() - i]);
    const std::uintptr_t bits = pieces[i].empty() ? 0 : static_cast<std::uint8_t>(pieces[i][0]);
    // Honest, short, negative and absurd length answers.
    const std::intptr_t claims[] = {static_cast<std::intptr_t>(pieces[pieces.size() - i].size()), 1,
                                    -1, std::intptr_t{1} << 40};
    desktop.claimed.push_back(claims[bits % 4]);
  }
  UpdaterWindows w;
  const auto& title = pieces[0];
  w.SearchTitle = UCase(TrimAtNul(desktop.codePage.Decode(title)));
  ScanUpdater(desktop, w);
  const WindowHandle count = desktop.stored.size();
  for (WindowHandle h : {w.MainWindow, w.FoundWindow, w.FormatButton, w.StartButton, w.CloseButton,
                         w.YesButton, w.BlankText1, w.BlankText2, w.BlankText3, w.UpgradeButton,
                         w.CompletedText, w.PlainCloseButton, w.IntroText, w.BatteryText})
    if (h > count) std::abort();
  if (w.FoundWindow == 0 && w.MainWindow != 0) std::abort();
  if ((w.BlankText2 && !w.BlankText1) || (w.BlankText3 && !w.BlankText2)) std::abort();
  for (WindowHandle h = 0; h <= count; ++h) {
    const std::wstring text = ReadLiveText(desktop, h);
    if (text.size() > 65535 || text.find(L'\0') != std::wstring::npos) std::abort();
  }
  return 0;
}
