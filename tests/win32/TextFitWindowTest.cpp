// Every text of the real fernclip.exe readable: for each page the wizard composes and each
// language, every visible label, button and frame caption shows its whole text, measured with the
// control's own font, inside the control's client area, and no two visible controls overlap.
// One wizard runs per screen resolution (Wine reads HKCU\Control Panel\Desktop LogPixels when a
// program starts); its test build composes the pages on request (main/TestPages.h).
// Arguments: fernclip.exe, the dots per inch, and "all" or a comma-separated list of languages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "FormControls.h"
#include "RoadFixture.h"
#include "TestSupport.h"
#include "driver/ComboPick.h"
#include "main/TestPages.h"

namespace revivix {
namespace {

using driver::ClassOf;
using driver::Utf8;
using wintest::ControlId;

constexpr DWORD kMessageTimeoutMs = 20000;
// The rings of a skinned button and the button's own edge take this much of each side.
constexpr int kButtonMargin = 5;
// A frame's caption starts 8 pixels in from the frame's edge and keeps as much on the right.
constexpr int kFrameCaptionMargin = 8;

std::vector<std::wstring> SplitList(const std::string& list) {
  std::vector<std::wstring> items;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ','))
    if (!item.empty()) items.emplace_back(item.begin(), item.end());
  return items;
}

bool Intersect(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != FALSE;
}

std::string Size(LONG width, LONG height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// True when `upper` lies above `lower` among their parent's children.
bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
    if (w == lower) return true;
  return false;
}

// The face Wine draws for "Arial", the wizard's font.
std::wstring ArialFace() {
  HDC dc = CreateCompatibleDC(nullptr);
  LOGFONTW font{};
  font.lfHeight = -11;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
  HFONT handle = CreateFontIndirectW(&font);
  HGDIOBJ old = SelectObject(dc, handle);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  DeleteObject(handle);
  DeleteDC(dc);
  return face;
}

class TextFit : public wintest::RoadFixture {
 protected:
  void Start() {
    ASSERT_NO_FATAL_FAILURE(PrepareFolder(L"revivix-textfit-"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    main_ = Main();
    // The start-up checks fill the lists and end on a page of their own; the pages are composed
    // after that.
    const bool started = driver::WaitUntil(wintest::kStartMs, [&] {
      return driver::ComboEntries(Control("Combo_Language")).size() > 1 &&
             (IsWindowVisible(Control("Frame_Error_Handling")) ||
              IsWindowVisible(Control("VistaProg1")));
    });
    ASSERT_TRUE(started) << "the start-up did not fill the language list and reach a page";
    for (std::string_view name : wintest::kFormControls) {
      HWND hwnd = Control(name);
      ASSERT_NE(hwnd, nullptr) << "no control " << name;
      windows_.push_back({name, hwnd, ClassOf(hwnd)});
    }
    compose_ = RegisterWindowMessageW(testhook::kComposePageMessage);
    measure_ = RegisterWindowMessageW(testhook::kMeasureTextMessage);
  }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(main_, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &result))
      return -1;
    return static_cast<LRESULT>(result);
  }

  // Checks the page the wizard shows; every problem found is added to `problems`.
  void CheckPage(const std::string& where, std::vector<std::string>& problems) {
    struct Shown {
      std::string_view name;
      HWND hwnd;
      RECT screen;
    };
    std::vector<Shown> shown;
    for (const Window& window : windows_) {
      const std::string_view name = window.name;
      HWND hwnd = window.hwnd;
      const std::wstring& kind = window.kind;
      if (!IsWindowVisible(hwnd)) continue;
      RECT screen{};
      GetWindowRect(hwnd, &screen);
      RECT client{};
      GetClientRect(hwnd, &client);
      const bool label = lstrcmpiW(kind.c_str(), L"STATIC") == 0;
      const bool button = lstrcmpiW(kind.c_str(), L"BUTTON") == 0;
      const bool frame = kind == L"RevivixFrame";
      if (!frame) shown.push_back({name, hwnd, screen});
      if (!(label || button || frame)) continue;
      const std::wstring text = driver::TextOf(hwnd);
      if (text.empty()) continue;
      const LRESULT size = Send(measure_, static_cast<WPARAM>(ControlId(name)), 0);
      if (size <= 0) {
        problems.push_back(where + ", " + std::string(name) + ": the wizard did not measure it");
        continue;
      }
      const LONG width = LOWORD(size);
      const LONG height = HIWORD(size);
      LONG roomWidth = client.right;
      LONG roomHeight = client.bottom;
      if (button) {
        roomWidth -= 2 * kButtonMargin;
        roomHeight -= 2;
      }
      if (frame) {
        // The caption is drawn on the frame's top edge, on one line.
        roomWidth -= 2 * kFrameCaptionMargin;
        roomHeight = height;
      }
      if (width > roomWidth || height > roomHeight)
        problems.push_back(where + ", " + std::string(name) + " \"" + Utf8(text) + "\": needs " +
                           Size(width, height) + " px, has " + Size(roomWidth, roomHeight));
      // A label stays inside the frame it lies in.
      HWND parent = GetParent(hwnd);
      if (label && parent != main_) {
        RECT inParent = driver::RectInParent(hwnd);
        RECT parentClient{};
        GetClientRect(parent, &parentClient);
        RECT common{};
        IntersectRect(&common, &inParent, &parentClient);
        if (!EqualRect(&common, &inParent))
          problems.push_back(where + ", " + std::string(name) + " \"" + Utf8(text) +
                             "\" reaches out of its frame");
      }
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
      for (std::size_t j = i + 1; j < shown.size(); ++j) {
        const Shown& a = shown[i];
        const Shown& b = shown[j];
        if (!Intersect(a.screen, b.screen)) continue;
        // Accept and Exit share their place on the license page; Accept must be the one on top.
        if ((a.name == "Cmd_I_Agree" && b.name == "cmdExit") ||
            (a.name == "cmdExit" && b.name == "Cmd_I_Agree")) {
          HWND accept = a.name == "Cmd_I_Agree" ? a.hwnd : b.hwnd;
          HWND exit = a.name == "Cmd_I_Agree" ? b.hwnd : a.hwnd;
          if (!Above(accept, exit))
            problems.push_back(where + ": Exit lies above Accept, which cannot be reached");
          continue;
        }
        problems.push_back(where + ": " + std::string(a.name) + " \"" +
                           Utf8(driver::TextOf(a.hwnd)) + "\" and " + std::string(b.name) + " \"" +
                           Utf8(driver::TextOf(b.hwnd)) + "\" overlap");
      }
    }
  }

  struct Window {
    std::string_view name;
    HWND hwnd;
    std::wstring kind;  // the window class
  };
  HWND main_ = nullptr;
  std::vector<Window> windows_;
  UINT compose_ = 0;
  UINT measure_ = 0;
};

TEST_F(TextFit, EveryTextOfEveryPageFitsInEveryLanguage) {
  const std::string dpiArgument = wintest::Argument(1);
  const std::string languagesArgument = wintest::Argument(2);
  ASSERT_FALSE(dpiArgument.empty()) << "the dots per inch are the second argument";
  ASSERT_FALSE(languagesArgument.empty()) << "\"all\" or the languages are the third argument";
  const DWORD dpi = static_cast<DWORD>(std::stoul(dpiArgument));
  // Measured with another face the sizes would not be those Windows shows.
  const std::wstring face = ArialFace();
  ASSERT_TRUE(face == L"Arial" || face == L"Liberation Sans")
      << "Arial is drawn with \"" << Utf8(face)
      << "\", whose metrics are not Arial's (fonts-liberation, scripts/install-deps.sh)";
  // Put back when the test ends.
  ASSERT_TRUE(machine_.SetScreenDpi(dpi))
      << "HKCU\\Control Panel\\Desktop LogPixels could not be set";
  ASSERT_NO_FATAL_FAILURE(Start());
  {
    HDC screen = GetDC(main_);
    const int actual = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(main_, screen);
    // The test's own process started before the change; the wizard's window tells its size.
    RECT window{};
    GetWindowRect(main_, &window);
    const int expectedWidth = MulDiv(8080, static_cast<int>(dpi), 1440);
    EXPECT_NEAR(window.right - window.left, expectedWidth, 2)
        << "the wizard does not run at " << dpi << " dpi (this process sees " << actual << ")";
  }

  const std::vector<std::wstring> entries = driver::ComboEntries(Control("Combo_Language"));
  std::vector<std::wstring> languages;
  if (languagesArgument == "all")
    languages.assign(entries.begin() + 1, entries.end());
  else
    languages = SplitList(languagesArgument);
  if (languagesArgument == "all") {
    EXPECT_EQ(languages.size(), 17u);
  }

  std::vector<std::string> problems;
  int pages = 0;
  for (const std::wstring& language : languages) {
    int index = -1;
    for (std::size_t i = 1; i < entries.size(); ++i)
      if (entries[i] == language) index = static_cast<int>(i);
    ASSERT_GE(index, 1) << "no language " << Utf8(language) << " in the list";
    for (std::size_t page = 0; page < testhook::kTestPages.size(); ++page) {
      const std::string where =
          Utf8(language) + ", " + testhook::kTestPages[page].name + ", " + dpiArgument + " dpi";
      ASSERT_EQ(Send(compose_, page, index), 1) << where << ": the page could not be composed";
      ++pages;
      CheckPage(where, problems);
    }
  }
  std::string report;
  for (const std::string& problem : problems) report += "\n  " + problem;
  EXPECT_TRUE(problems.empty()) << problems.size() << " texts do not fit:" << report;
  std::printf("checked %d pages in %zu languages at %lu dpi\n", pages, languages.size(),
              static_cast<unsigned long>(dpi));
  ASSERT_NO_FATAL_FAILURE(Close());
}

}  // namespace
}  // namespace revivix
