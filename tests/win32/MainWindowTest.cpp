// The real fernclip.exe under Wine: its window opens with the wizard's frame, size and place
// above other windows, every control sits where the form's design puts it with its design
// caption and start visibility, the start-up colours the page, and a close request ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "FormControls.h"
#include "RoadFixture.h"
#include "TestSupport.h"

namespace revivix {
namespace {

using driver::ClassOf;
using wintest::ControlId;
using wintest::kFirstControlId;

// What a control shows once the start-up has applied the language: its design caption, or the
// text of a key of the English language file (the language Wine's en-US system preselects).
struct Shows {
  const wchar_t* text = nullptr;  // a fixed text
  const wchar_t* key = nullptr;   // a key of the section "Strings"
};
constexpr Shows Text(const wchar_t* text) {
  return {text, nullptr};
}
constexpr Shows Key(const wchar_t* key) {
  return {nullptr, key};
}
constexpr Shows kNotChecked{};  // lists, progress bars and the license box (checked apart)

// The form's design: controls in the order of the form's collection (their ids count from
// 1000), with container, window class, place in twips, visibility at start and what they show.
struct Design {
  const char* name;
  const char* container;  // nullptr: the window itself
  const wchar_t* windowClass;
  int left, top, width, height;
  bool visible;
  Shows shows;
};

constexpr Design kDesign[] = {
    {"Frame_Region_Lang", nullptr, L"RevivixFrame", 165, 1260, 7675, 560, true, Text(L"")},
    {"Combo_Region", "Frame_Region_Lang", L"ComboBox", 120, 160, 3015, 315, true, kNotChecked},
    {"Combo_Language", "Frame_Region_Lang", L"ComboBox", 4540, 160, 3015, 315, true, kNotChecked},
    {"Frame_DetectPlayer_by_SNO", nullptr, L"RevivixFrame", 8280, 720, 7455, 3255, false,
     Text(L"")},
    {"Uni_PID3500_err_MSG", "Frame_DetectPlayer_by_SNO", L"Static", 600, 240, 6255, 255, true,
     Text(L"")},
    {"UniLabel_New_Version_Info", "Frame_DetectPlayer_by_SNO", L"Static", 600, 240, 6255, 495,
     false, Text(L"A Revivix update is available. Do you want to update now?")},
    {"Label_Player", "Frame_DetectPlayer_by_SNO", L"Static", 1760, 1155, 435, 195, true,
     Text(L"Player")},
    {"Combo_Choose_Player", "Frame_DetectPlayer_by_SNO", L"ComboBox", 2280, 1080, 2775, 315, true,
     kNotChecked},
    {"Label_SNO", "Frame_DetectPlayer_by_SNO", L"Static", 1920, 1800, 300, 195, true, Text(L"S/N")},
    {"txtSNO", "Frame_DetectPlayer_by_SNO", L"Edit", 2280, 1680, 1305, 360, true, Text(L"")},
    {"CmdYes", "Frame_DetectPlayer_by_SNO", L"Button", 2640, 1320, 1095, 420, false,
     Key(L"IDS_YES")},
    {"CmdNo", "Frame_DetectPlayer_by_SNO", L"Button", 3870, 1320, 1095, 420, false, Key(L"IDS_NO")},
    {"Cmd_Next", "Frame_DetectPlayer_by_SNO", L"Button", 6000, 2760, 1335, 420, true,
     Key(L"IDS_NEXT")},
    {"Player_Detected_Frame1", nullptr, L"RevivixFrame", 840, 1935, 6120, 660, false,
     Key(L"IDS_PLAYER_DETECTED")},
    // Shows the detected player's model: none yet.
    {"Player_Detected_Label", "Player_Detected_Frame1", L"Static", 1920, 220, 1950, 300, true,
     Text(L"")},
    {"Info_Label", nullptr, L"Static", 240, 2805, 7455, 210, false,
     Key(L"IDS_LICENSE_AGREEMENT_MSG1")},
    // The license box is placed and sized for the license when the language is applied.
    {"UnitxtLicense", nullptr, L"Edit", 165, 3615, 7680, 2720, false, kNotChecked},
    {"VistaProg1", nullptr, L"VistaProg", 1560, 4005, 4815, 225, false, kNotChecked},
    {"Frame_4_Download_Progress", nullptr, L"RevivixFrame", 1440, 4395, 5055, 615, false,
     Text(L"")},
    {"VistaProg2", "Frame_4_Download_Progress", L"VistaProg", 120, 120, 4815, 225, true,
     kNotChecked},
    // The load empties the two size labels.
    {"Label_Actual_Size", "Frame_4_Download_Progress", L"Static", 3930, 360, 345, 180, true,
     Text(L"")},
    {"Label_Total_FileSize", "Frame_4_Download_Progress", L"Static", 4290, 360, 645, 180, true,
     Text(L"")},
    {"Frame_Error_Handling", nullptr, L"RevivixFrame", 8280, 4440, 7455, 2775, false, Text(L"")},
    {"Uni_Error_Label1", "Frame_Error_Handling", L"Static", 600, 600, 6255, 285, true, Text(L"")},
    {"UniButton_Help", nullptr, L"Button", 165, 6555, 1335, 420, true, Key(L"IDS_HELP")},
    {"UniRefresh", nullptr, L"Button", 1605, 6555, 1335, 420, true, Key(L"IDS_REFRESH")},
    {"Cmd_I_Disagree", nullptr, L"Button", 5015, 6555, 1335, 420, false,
     Key(L"IDS_LICENSE_DISAGREE_QUIT")},
    {"Cmd_I_Agree", nullptr, L"Button", 6480, 6555, 1335, 420, false,
     Key(L"IDS_LICENSE_AGREE_CONTINUE")},
    {"cmdExit", nullptr, L"Button", 6465, 6555, 1335, 420, false, Key(L"IDS_EXIT")},
    {"List1", nullptr, L"ListBox", 9600, 240, 1335, 300, true, kNotChecked},
};

// Twips to pixels, rounded to the nearest pixel.
int Px(int twips, int dpi) {
  return (twips * dpi + 720) / 1440;
}

class FernclipWindow : public wintest::RoadFixture {
 protected:
  void SetUp() override {
    // The program runs from a copy of the runnable folder: closing it saves the settings, and
    // the build's own settings file stays as shipped. The machine is Wine's own: Windows 6.1,
    // which the wizard refuses.
    ASSERT_NO_FATAL_FAILURE(PrepareFolder(L"revivix-window-"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    main_ = Main();
    HDC screen = GetDC(nullptr);
    dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }

  std::wstring EnglishText(const wchar_t* key) const { return Message(key); }

  HWND main_ = nullptr;
  int dpiX_ = 96;
  int dpiY_ = 96;
};

TEST_F(FernclipWindow, OpensAsTheWizardsWindowAndClosesOnRequest) {
  // The frame: topmost, no maximize box, no sizing border, 8080 x 7565 twips.
  const LONG_PTR style = GetWindowLongPtrW(main_, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(main_, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  RECT outer{};
  GetWindowRect(main_, &outer);
  EXPECT_EQ(outer.right - outer.left, Px(8080, dpiX_));
  EXPECT_EQ(outer.bottom - outer.top, Px(7565, dpiY_));

  // The start-up ends by applying the preselected language, the license text last.
  HWND license = driver::FindControlById(main_, ControlId("UnitxtLicense"));
  ASSERT_NE(license, nullptr);
  driver::WaitUntil(10000, [&] { return !driver::TextOf(license).empty(); });
  const std::wstring expectedLicense = LicenseText();
  ASSERT_FALSE(expectedLicense.empty()) << "License\\English.txt is missing beside the program";
  // The box shows the license text without its byte-order mark.
  EXPECT_EQ(driver::TextOf(license), expectedLicense);
  EXPECT_TRUE(GetWindowLongPtrW(license, GWL_STYLE) & ES_READONLY) << "the license is locked";

  // Every control by its id, inside its container, at its place.
  for (std::size_t i = 0; i < std::size(kDesign); ++i) {
    const Design& d = kDesign[i];
    SCOPED_TRACE(d.name);
    // The design table lists the controls in the order of the form's collection.
    EXPECT_EQ(ControlId(d.name), kFirstControlId + static_cast<int>(i));
    HWND control = driver::FindControlById(main_, ControlId(d.name));
    ASSERT_NE(control, nullptr);
    HWND expectedParent =
        d.container ? driver::FindControlById(main_, ControlId(d.container)) : main_;
    EXPECT_EQ(GetParent(control), expectedParent);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), d.windowClass), 0)
        << "window class " << testing::PrintToString(ClassOf(control));
    // Wine reports Windows 6.1 unless told otherwise, which the wizard refuses at start-up: its
    // error page moves the error frame in, shows the message and shows Exit. Every other
    // control stays as designed.
    const std::string name = d.name;
    int left = d.left, top = d.top;
    bool visible = d.visible;
    const wchar_t* text = d.shows.text;
    std::wstring message;
    if (name == "Frame_Error_Handling") {
      left = 220, top = 3160, visible = true;
    } else if (name == "cmdExit") {
      left = 6465, top = 6555, visible = true;
    } else if (name == "Uni_Error_Label1") {
      message = ErrorText(L"IDS_OS_NOT_SUPPORTED");
      text = message.c_str();
    }
    const RECT r = driver::RectInParent(control);
    EXPECT_EQ(r.left, Px(left, dpiX_));
    EXPECT_EQ(r.top, Px(top, dpiY_));
    EXPECT_EQ(r.right - r.left, Px(d.width, dpiX_));
    // A closed drop-down list is as high as its font makes it.
    // The message label grows downward when its text needs more lines (the text-fit test checks
    // how far).
    if (name == "Uni_Error_Label1") {
      EXPECT_GE(r.bottom - r.top, Px(d.height, dpiY_));
    } else if (std::wstring(d.windowClass) != L"ComboBox") {
      EXPECT_EQ(r.bottom - r.top, Px(d.height, dpiY_));
    }
    EXPECT_EQ((GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0, visible);
    if (text) {
      EXPECT_EQ(driver::TextOf(control), text);
    }
    if (d.shows.key) {
      const std::wstring english = EnglishText(d.shows.key);
      EXPECT_FALSE(english.empty()) << "no text for the key in English.txt";
      EXPECT_EQ(driver::TextOf(control), english);
    }
  }

  // The kinds' own window styles.
  EXPECT_EQ(
      GetWindowLongPtrW(driver::FindControlById(main_, ControlId("Combo_Region")), GWL_STYLE) &
          CBS_DROPDOWNLIST,
      CBS_DROPDOWNLIST);
  EXPECT_TRUE(
      GetWindowLongPtrW(driver::FindControlById(main_, ControlId("UnitxtLicense")), GWL_STYLE) &
      ES_MULTILINE);
  EXPECT_EQ(GetWindowLongPtrW(driver::FindControlById(main_, ControlId("Player_Detected_Label")),
                              GWL_STYLE) &
                SS_TYPEMASK,
            SS_CENTER);

  // After the first activation the start-up paints the page in its colour; a point below the
  // banner and left of the region frame shows the window's own background.
  POINT probe{4, Px(1260 + 560, dpiY_) + 8};
  ClientToScreen(main_, &probe);
  COLORREF seen = CLR_INVALID;
  HDC screen = GetDC(nullptr);
  driver::WaitUntil(10000, [&] {
    seen = GetPixel(screen, probe.x, probe.y);
    return seen == RGB(0xED, 0xED, 0xEB);
  });
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(seen, RGB(0xED, 0xED, 0xEB)) << std::hex << "seen 0x" << seen;

  // The close request (as from the title-bar button) ends the program.
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_FALSE(IsWindow(main_));
  ASSERT_NO_FATAL_FAILURE(ExpectExitCode(0));
}

// Every Unicode button is skinned: its corners are cut round by its window region, and a disabled
// child window shows a shaded border whose rings step from the button face towards dark blue.
TEST_F(FernclipWindow, ButtonsHaveRoundedShadedBorders) {
  const char* const buttons[] = {"CmdYes",     "CmdNo",          "Cmd_Next",    "UniButton_Help",
                                 "UniRefresh", "Cmd_I_Disagree", "Cmd_I_Agree", "cmdExit"};
  for (const char* name : buttons) {
    HWND button = driver::FindControlById(main_, ControlId(name));
    ASSERT_NE(button, nullptr) << name;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(button, region), ERROR) << name << " has no window region";
    RECT box{};
    GetRgnBox(region, &box);
    DeleteObject(region);
    RECT client{};
    GetClientRect(button, &client);
    // A rounded-rectangle region leaves out its last column and row, as GDI makes them.
    EXPECT_EQ(box.left, 0) << name;
    EXPECT_GE(box.right, client.right - 1) << name;
    EXPECT_LE(box.right, client.right) << name;
    HWND ring = GetWindow(button, GW_CHILD);
    ASSERT_NE(ring, nullptr) << name << " has no ring window";
    EXPECT_EQ(ClassOf(ring), L"RevivixButtonSkin") << name;
    EXPECT_EQ(driver::TextOf(ring), L"Pic_" + std::to_wstring(reinterpret_cast<UINT_PTR>(button)));
    EXPECT_FALSE(IsWindowEnabled(ring)) << name << ": the ring must take no input";
  }

  // Down the middle of the visible Help button, the rings grow darker and bluer pixel by pixel.
  HWND help = driver::FindControlById(main_, ControlId("UniButton_Help"));
  RECT client{};
  GetClientRect(help, &client);
  HDC screen = GetDC(nullptr);
  POINT at{client.right / 2, 0};
  ClientToScreen(help, &at);
  COLORREF rows[4];
  for (int y = 0; y < 4; ++y) rows[y] = GetPixel(screen, at.x, at.y + y);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(rows[0], GetSysColor(COLOR_BTNFACE));
  for (int y = 1; y < 4; ++y) {
    EXPECT_LT(GetRValue(rows[y]), GetRValue(rows[y - 1])) << "row " << y;
    EXPECT_LE(GetBValue(rows[y]), GetBValue(rows[y - 1])) << "row " << y;
    EXPECT_GT(GetBValue(rows[y]), GetRValue(rows[y])) << "row " << y << " is not bluish";
  }
}

// Starting a second copy while one runs ends the first one (as a terminated process, exit code
// 0) and the new copy opens its window as usual.
TEST_F(FernclipWindow, ASecondCopyEndsTheFirstAndStartsNormally) {
  driver::WizardSession second;
  const bool shown = second.Start(folder_, wintest::kStartMs);
  EXPECT_TRUE(wizard_->WaitForEnd(wintest::kEndMs)) << "the first copy is still running";
  ASSERT_NO_FATAL_FAILURE(ExpectExitCode(0));

  ASSERT_TRUE(shown) << "the second copy shows no window";
  EXPECT_FALSE(second.Ended());
  ASSERT_TRUE(PostMessageW(second.Main(), WM_CLOSE, 0, 0));
  EXPECT_TRUE(second.WaitForEnd(wintest::kEndMs));
}

}  // namespace
}  // namespace revivix
