// The wizard without a mouse, and as a screen reader sees it: the real fernclip.exe under Wine with
// the local maker site, a simulated player and our simulated updater, driven only by keystrokes
// posted to the window that has the focus (WM_KEYDOWN, WM_CHAR, WM_KEYUP; Shift+Tab through
// SendInput, so that Shift is really held down), and read through oleacc
// (AccessibleObjectFromWindow, accName, accRole, accValue, accState, accChildCount).
//   arguments: fernclip.exe, the site's root folder, the site's state folder (its port file),
//              the format-type updater
//
// What Wine's accessibility layer gives: AccessibleObjectFromWindow works across processes, our
// own answers to WM_GETOBJECT are marshalled to the caller, and for standard controls it makes the
// plain client object: the name is the window text and the role is always ROLE_SYSTEM_CLIENT.
// The roles a standard label, list or edit box has on Windows (static text, combo box, editable
// text), and the names Windows takes from the label before a list or edit box, are therefore not
// checked here; the roles and names the program gives itself (frames, progress bar, buttons,
// rings) are.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "RoadFixture.h"
#include "TestSupport.h"
#include "app/Version.h"
#include "driver/FolderCopy.h"
#include "driver/FormControls.h"
#include "driver/Paths.h"

namespace revivix {
namespace {

using wintest::MakeFolders;
using wintest::ReadBytes;
using wintest::WriteBytes;

using driver::Page;
using driver::Utf8;
using driver::Wide;
using wintest::kEndMs;
using Names = std::vector<std::string>;

constexpr DWORD kDetectMs = wintest::kPageMs;
constexpr DWORD kUpdaterMs = 60000;
constexpr DWORD kKeyMs = 5000;

constexpr wchar_t kPlayerVendor[] = L"VID_1F3A&";
constexpr wchar_t kModel[] = L"Zanterix Fernclip 200";
constexpr wchar_t kTitle[] = L"Fernclip 200 Firmware Updater";

std::string Joined(const Names& names) {
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
  return text;
}

// `order` turned round so that it starts at `first` (unchanged when `first` is not in it).
Names StartingAt(Names order, const std::string& first) {
  const auto at = std::find(order.begin(), order.end(), first);
  if (at != order.end()) std::rotate(order.begin(), at, order.end());
  return order;
}

// What oleacc says about one window's client area.
struct Accessible {
  bool found = false;
  std::wstring name;
  bool hasName = false;
  long role = -1;
  std::wstring value;
  long state = 0;
  long children = -1;
};

Accessible Ask(HWND hwnd) {
  Accessible a;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) ||
      !object)
    return a;
  a.found = true;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  if (object->get_accName(self, &text) == S_OK && text) {
    a.hasName = SysStringLen(text) > 0;
    a.name = text;
  }
  SysFreeString(text);
  text = nullptr;
  if (object->get_accValue(self, &text) == S_OK && text) a.value = text;
  SysFreeString(text);
  VARIANT v;
  VariantInit(&v);
  if (object->get_accRole(self, &v) == S_OK && v.vt == VT_I4) a.role = v.lVal;
  VariantClear(&v);
  if (object->get_accState(self, &v) == S_OK && v.vt == VT_I4) a.state = v.lVal;
  VariantClear(&v);
  object->get_accChildCount(&a.children);
  object->Release();
  return a;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[2048] = {};
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return text;
}

class KeyboardRoad : public wintest::RoadFixture {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }
  static void TearDownTestSuite() { CoUninitialize(); }

  // A runnable folder with `settings`, pointed at a site folder of its own that offers the one
  // model and its format-type updater (`updaterFile`), sent at `rateDivisor`-th of its size per
  // second; a player with USB product `product` in Wine's device list.
  void Prepare(const std::string& road, const std::string& settings, const std::wstring& product,
               const std::wstring& deviceName, const std::wstring& updaterFile,
               std::size_t rateDivisor) {
    const std::string exe = wintest::Argument(0);
    ASSERT_FALSE(exe.empty()) << "arguments: fernclip.exe site-root site-state format-updater";
    const std::string port = ReadBytes(driver::WindowsPath(wintest::Argument(2)) + L"\\port");
    ASSERT_FALSE(port.empty()) << "the site is not running (no port file)";
    const std::wstring site =
        L"http://127.0.0.1:" + Wide(port.substr(0, port.find_first_of("\r\n"))) + L"/" + Wide(road);
    ASSERT_NO_FATAL_FAILURE(PrepareFolder(L"revivix-keys-"));
    ASSERT_NO_FATAL_FAILURE(WriteSettings(settings));
    ASSERT_NO_FATAL_FAILURE(WriteSite(site));

    const std::wstring root = driver::WindowsPath(wintest::Argument(1)) + L"\\" + Wide(road);
    driver::RemoveFolder(root);
    MakeFolders(root + L"\\revivix\\database");
    MakeFolders(root + L"\\eu\\fw");
    MakeFolders(root + L"\\files");
    const std::wstring line = L"PID_4157," + std::wstring(kModel) + L",2,10,MSC,AB12,/fw/" +
                              updaterFile + L".htm," + site + L"/eu," + site + L"/world,-," +
                              kTitle + L"," + site + L"/support.htm," + L"" REVIVIX_VERSION + L"," +
                              site + L"/new.htm";
    const std::wstring page = L"<html><body>\r\n" + line +
                              L"<br>\r\nPID_0000,-,0,0,-,N/A,-,-,-,-,-,-," + L"" REVIVIX_VERSION +
                              L",-</body></html>\r\n";
    ASSERT_TRUE(WriteBytes(root + L"\\revivix\\database\\Fernclip_database.htm", Utf8(page)));
    ASSERT_TRUE(WriteBytes(root + L"\\eu\\fw\\" + updaterFile + L".htm",
                           "<html><body><A HREF=\"" + Utf8(site) + "/files/" + Utf8(updaterFile) +
                               "\">updater</A></body></html>"));
    const std::wstring source = driver::WindowsPath(wintest::Argument(3));
    const std::size_t size = ReadBytes(source).size();
    ASSERT_GT(size, 0u) << "no updater at " << Utf8(source);
    ASSERT_TRUE(CopyFileW(source.c_str(), (root + L"\\files\\" + updaterFile).c_str(), FALSE));
    ASSERT_TRUE(WriteBytes(root + L"\\files\\site-rules.json",
                           "{\"/" + Utf8(updaterFile) +
                               "\": {\"rate\": " + std::to_string(size / rateDivisor + 1) + "}}"));

    // Windows 5.1, which the wizard supports, for fernclip.exe only.
    ASSERT_TRUE(machine_.SetWindowsVersion(L"fernclip.exe", L"winxp"));
    ASSERT_TRUE(
        machine_.AddUsbDevice(kPlayerVendor + product + L"\\ZX" + product, deviceName, deviceName));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
  }

  GUITHREADINFO ThreadInfo() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(wizard_->Main(), nullptr), &info);
    return info;
  }

  // The form's name of the control that has the keyboard focus; "" for none of them.
  std::string Focused() const {
    const int id = GetDlgCtrlID(ThreadInfo().hwndFocus);
    const int index = id - driver::kFirstControlId;
    if (index < 0 || index >= static_cast<int>(driver::kFormControls.size())) return "";
    return std::string(driver::kFormControls[static_cast<std::size_t>(index)]);
  }

  bool WaitForFocus(const std::string& name) {
    return driver::WaitUntil(kKeyMs, [&] { return Focused() == name; });
  }

  // One key pressed and released on the window with the focus (the main window without one).
  void Press(WPARAM key) {
    HWND target = ThreadInfo().hwndFocus;
    if (!target) target = wizard_->Main();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }

  // Keys as the keyboard gives them (SendInput): each pressed in order and released in reverse,
  // to the foreground window, which the wizard's window is on these pages.
  static bool Keyboard(std::initializer_list<WORD> held) {
    std::vector<INPUT> keys;
    for (WORD key : held) keys.push_back(KeyInput(key, 0));
    for (auto key = std::rbegin(held); key != std::rend(held); ++key)
      keys.push_back(KeyInput(*key, KEYEVENTF_KEYUP));
    return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
  }
  static INPUT KeyInput(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
  }
  // Shift+Tab from the keyboard, so that the wizard sees Shift held down.
  static bool ShiftTab() { return Keyboard({VK_SHIFT, VK_TAB}); }
  // Tab from the keyboard too after a Shift+Tab: a posted Tab would overtake the release of Shift
  // still queued as input, and the wizard would take it for another Shift+Tab.
  static bool KeyboardTab() { return Keyboard({VK_TAB}); }

  void TypeText(const std::wstring& text) {
    HWND target = ThreadInfo().hwndFocus;
    for (wchar_t c : text) PostMessageW(target, WM_CHAR, c, 1);
  }

  // Tab pressed until the focus is back where it started: the Tab order from the focus on.
  Names TabCycle() {
    const std::string first = Focused();
    Names seen = {first};
    for (int i = 0; i < 20; ++i) {
      const std::string before = Focused();
      Press(VK_TAB);
      if (!driver::WaitUntil(kKeyMs, [&] { return Focused() != before; })) break;
      if (Focused() == first) return seen;
      seen.push_back(Focused());
    }
    seen.push_back("(no way back to the first control)");
    return seen;
  }

  void ExpectTabOrder(const Names& readingOrder) {
    const std::string focus = Focused();
    const Names expected = StartingAt(readingOrder, focus);
    EXPECT_EQ(Joined(TabCycle()), Joined(expected)) << "from " << focus;
  }

  // Arrow keys in a list until it shows `entry`; when it does already, one step away and back.
  void ChooseWithArrows(const std::string& list, const std::wstring& entry) {
    ASSERT_EQ(Focused(), list);
    if (wizard_->Text(list) == entry) {
      Press(VK_DOWN);
      ASSERT_TRUE(driver::WaitUntil(kKeyMs, [&] { return wizard_->Text(list) != entry; }));
      Press(VK_UP);
    } else {
      for (int i = 0; i < 30 && wizard_->Text(list) != entry; ++i) {
        const std::wstring before = wizard_->Text(list);
        Press(VK_DOWN);
        driver::WaitUntil(kKeyMs, [&] { return wizard_->Text(list) != before; });
      }
    }
    ASSERT_TRUE(driver::WaitUntil(kKeyMs, [&] { return wizard_->Text(list) == entry; }))
        << list << " shows " << Utf8(wizard_->Text(list));
  }
};

const std::string kNoChoice = "[Settings]\r\nRegion=\r\nLanguage=\r\n";
const std::string kEurope = "[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n";

TEST_F(KeyboardRoad, AWholeRepairWithTheKeyboardAlone) {
  // The updater's window comes two seconds late, so Escape meets the updater run for certain.
  ASSERT_NO_FATAL_FAILURE(Prepare("keys-1", kNoChoice, L"PID_0200",
                                  std::wstring(kModel) + L" USB Device",
                                  L"Fernclip200_Updater_slowstart.exe", 2));
  // Without a choice the wizard asks for one; the focus waits in the region list.
  ASSERT_TRUE(driver::WaitUntil(kDetectMs, [&] { return wizard_->Shown("cmdExit"); }))
      << wizard_->VisibleTexts();
  ASSERT_TRUE(WaitForFocus("Combo_Region")) << "focus on " << Focused();
  ExpectTabOrder({"Combo_Region", "Combo_Language", "UniButton_Help", "UniRefresh", "cmdExit"});
  ASSERT_TRUE(WaitForFocus("Combo_Region"));
  ASSERT_NO_FATAL_FAILURE(ChooseWithArrows("Combo_Region", L"Europe"));
  Press(VK_TAB);
  ASSERT_TRUE(WaitForFocus("Combo_Language"));
  ASSERT_NO_FATAL_FAILURE(ChooseWithArrows("Combo_Language", L"English"));

  // The license page: the focus on Accept, Exit (under Accept) never reached.
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_TRUE(WaitForFocus("Cmd_I_Agree")) << "focus on " << Focused();
  ExpectTabOrder({"Combo_Region", "Combo_Language", "UnitxtLicense", "UniButton_Help", "UniRefresh",
                  "Cmd_I_Disagree", "Cmd_I_Agree"});
  Press(VK_RETURN);
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::Download, kDetectMs));

  // The download has ended and the updater is being started: Escape does nothing.
  ASSERT_TRUE(
      driver::WaitUntil(kUpdaterMs, [&] { return !wizard_->Shown("Frame_4_Download_Progress"); }));
  ASSERT_FALSE(LabelEndsWith(L"IDS_FW_UPDATE_SUCCESSFUL")) << "the updater ended too soon";
  PostMessageW(wizard_->Main(), WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(wizard_->Main(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
  EXPECT_FALSE(wizard_->WaitForEnd(1500)) << "Escape closed the wizard while the updater ran";

  ASSERT_TRUE(driver::WaitUntil(kUpdaterMs, [&] {
    return LabelEndsWith(L"IDS_FW_UPDATE_SUCCESSFUL");
  })) << wizard_->VisibleTexts();
  EXPECT_TRUE(driver::WaitUntil(kEndMs, [&] { return FindWindowW(nullptr, kTitle) == nullptr; }));
  // The result page: Exit is the forward button and has the focus. The updater's window was the
  // active one; the user comes back to the wizard, as a click on its title bar would.
  SetForegroundWindow(wizard_->Main());
  ASSERT_TRUE(driver::WaitUntil(kKeyMs, [&] { return ThreadInfo().hwndActive == wizard_->Main(); }))
      << "the wizard did not become the active window";
  EXPECT_TRUE(WaitForFocus("cmdExit")) << "focus on " << Focused();
  ExpectTabOrder({"UniButton_Help", "UniRefresh", "cmdExit"});
  Press(VK_RETURN);
  ASSERT_TRUE(wizard_->WaitForEnd(kEndMs)) << "Enter did not end the wizard:\n"
                                           << wizard_->VisibleTexts();
  const std::string settings = ReadBytes(folder_ + L"\\settings.ini");
  EXPECT_NE(settings.find("Region=Europe"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Language=English"), std::string::npos) << settings;
}

TEST_F(KeyboardRoad, SerialNumbersWithEnterThenSpaceAnswersTheQuestion) {
  ASSERT_NO_FATAL_FAILURE(
      Prepare("keys-2", kEurope, L"PID_3500", L"USB Device", L"Fernclip200_Updater.exe", 2));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::ModelAndSerialNumber, kDetectMs));
  // The detection gives the model list the focus, and it stays there.
  ASSERT_TRUE(WaitForFocus("Combo_Choose_Player")) << "focus on " << Focused();
  ExpectTabOrder({"Combo_Region", "Combo_Language", "Combo_Choose_Player", "txtSNO", "Cmd_Next",
                  "UniButton_Help", "UniRefresh"});
  ASSERT_TRUE(WaitForFocus("Combo_Choose_Player"));
  Press(VK_TAB);
  ASSERT_TRUE(WaitForFocus("txtSNO")) << "focus on " << Focused();
  // Shift+Tab goes back in the same order, and Tab forward again.
  ASSERT_EQ(GetForegroundWindow(), wizard_->Main());
  ASSERT_TRUE(ShiftTab());
  EXPECT_TRUE(WaitForFocus("Combo_Choose_Player")) << "focus on " << Focused();
  ASSERT_TRUE(KeyboardTab());
  // The typing goes to the window that has the focus when it is posted: wait for the Tab first.
  ASSERT_TRUE(WaitForFocus("txtSNO")) << "focus on " << Focused();
  const std::wstring reenter = Message(L"IDS_SNO_NOT_RECOGNISED_REENTER");
  for (const wchar_t* serial : {L"SN-0001", L"SN-0002"}) {
    TypeText(serial);
    ASSERT_TRUE(driver::WaitUntil(kKeyMs, [&] { return wizard_->Text("txtSNO") == serial; }));
    Press(VK_RETURN);  // Next
    ASSERT_TRUE(driver::WaitUntil(kKeyMs, [&] {
      return wizard_->Text("Uni_PID3500_err_MSG") == reenter && wizard_->Text("txtSNO").empty();
    })) << wizard_->VisibleTexts();
    ASSERT_EQ(Focused(), "txtSNO");
  }
  TypeText(L"SN-0003");
  ASSERT_TRUE(driver::WaitUntil(kKeyMs, [&] { return wizard_->Text("txtSNO") == L"SN-0003"; }));
  Press(VK_RETURN);
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::KnowledgeBaseQuestion, kKeyMs));
  // The question gives Yes the focus, and it stays there.
  ASSERT_TRUE(WaitForFocus("CmdYes")) << "focus on " << Focused();
  EXPECT_FALSE(driver::WaitUntil(500, [&] { return Focused() != "CmdYes"; }))
      << "the focus moved to " << Focused();
  ExpectTabOrder(
      {"Combo_Region", "Combo_Language", "CmdYes", "CmdNo", "UniButton_Help", "UniRefresh"});
  // Space presses the focused button: No ends the wizard without opening a page.
  ASSERT_TRUE(WaitForFocus("CmdYes"));
  Press(VK_TAB);
  ASSERT_TRUE(WaitForFocus("CmdNo")) << "focus on " << Focused();
  Press(VK_SPACE);
  ASSERT_TRUE(wizard_->WaitForEnd(kEndMs)) << "Space on No did not end the wizard:\n"
                                           << wizard_->VisibleTexts();
}

// Enter presses the button the focus was tabbed to: Decline leaves without a download, where
// Accept would start one (a minute long here, so a wrong press cannot end in time).
TEST_F(KeyboardRoad, EnterOnATabbedToDeclineLeavesWithoutADownload) {
  ASSERT_NO_FATAL_FAILURE(Prepare("keys-4", kEurope, L"PID_0200",
                                  std::wstring(kModel) + L" USB Device", L"Fernclip200_Updater.exe",
                                  60));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_TRUE(WaitForFocus("Cmd_I_Agree")) << "focus on " << Focused();
  ASSERT_EQ(GetForegroundWindow(), wizard_->Main());
  ASSERT_TRUE(ShiftTab());
  ASSERT_TRUE(WaitForFocus("Cmd_I_Disagree")) << "focus on " << Focused();
  Press(VK_RETURN);
  ASSERT_TRUE(wizard_->WaitForEnd(kEndMs)) << "Enter on Decline did not end the wizard:\n"
                                           << wizard_->VisibleTexts();
  EXPECT_EQ(FindWindowW(nullptr, kTitle), nullptr) << "the updater was started";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder_ + L"\\FW\\*.exe").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "an updater was downloaded";
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST_F(KeyboardRoad, ScreenReaderNamesRolesAndTheDownloadsProgress) {
  // A slow transfer (about a minute), so the progress bar and then the whole page are read on its
  // way even on a busy machine; Escape ends it, so the test takes no longer for it.
  ASSERT_NO_FATAL_FAILURE(Prepare("keys-3", kEurope, L"PID_0200",
                                  std::wstring(kModel) + L" USB Device", L"Fernclip200_Updater.exe",
                                  60));
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::License, kDetectMs));
  ASSERT_TRUE(WaitForFocus("Cmd_I_Agree"));

  // Every visible control of the page, as oleacc sees it.
  const auto checkPage = [&](const char* page) {
    int frames = 0;
    int buttons = 0;
    for (std::string_view name : driver::kFormControls) {
      if (!wizard_->Shown(name) || name == "List1") continue;
      SCOPED_TRACE(std::string(page) + ": " + std::string(name));
      HWND hwnd = wizard_->Control(name);
      // The download's sizes change while the page is read: a reading counts when the text was
      // the same before and after the question.
      Accessible a;
      std::wstring text;
      for (int attempt = 0; attempt < 50; ++attempt) {
        text = WindowText(hwnd);
        a = Ask(hwnd);
        if (WindowText(hwnd) == text) break;
      }
      ASSERT_TRUE(a.found);
      if (name.rfind("Frame", 0) == 0 || name == "Player_Detected_Frame1") {
        ++frames;
        EXPECT_EQ(a.role, ROLE_SYSTEM_GROUPING);
        EXPECT_EQ(a.name, text);
      } else if (name.rfind("Cmd", 0) == 0 || name.rfind("cmd", 0) == 0 ||
                 name.rfind("UniButton", 0) == 0 || name == "UniRefresh") {
        ++buttons;
        EXPECT_EQ(a.role, ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(a.name, text);
        EXPECT_FALSE(text.empty());
        // The ring window inside is no child and has no name.
        EXPECT_EQ(a.children, 0);
        HWND ring = FindWindowExW(hwnd, nullptr, L"RevivixButtonSkin", nullptr);
        ASSERT_NE(ring, nullptr);
        const Accessible r = Ask(ring);
        EXPECT_TRUE(r.found);
        EXPECT_FALSE(r.hasName) << Utf8(r.name);
        EXPECT_NE(r.state & STATE_SYSTEM_INVISIBLE, 0);
      } else if (name.rfind("VistaProg", 0) == 0) {
        EXPECT_EQ(a.role, ROLE_SYSTEM_PROGRESSBAR);
      } else if (name.find("Label") != std::string_view::npos || name == "Uni_Error_Label1") {
        // Labels are named by their text (their role is Windows' own).
        EXPECT_EQ(a.name, text);
        EXPECT_FALSE(text.empty());
      }
    }
    EXPECT_GT(frames, 0);
    EXPECT_GT(buttons, 0);
  };
  checkPage("license");
  EXPECT_EQ(Ask(wizard_->Control("Cmd_I_Agree")).name, L"Accept");

  Press(VK_RETURN);
  ASSERT_NO_FATAL_FAILURE(ExpectPage(Page::Download, kDetectMs));
  // The bar's value is the percentage it shows, read while the transfer goes on.
  HWND bar = wizard_->Control("VistaProg2");
  std::vector<std::wstring> values;
  int between = 0;
  while (wizard_->Shown("Frame_4_Download_Progress") && values.size() < 3) {
    DWORD_PTR max = 0;
    DWORD_PTR before = 0;
    DWORD_PTR after = 0;
    DWORD_PTR maxAfter = 0;
    SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &max);
    SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &before);
    const Accessible a = Ask(bar);
    SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &after);
    SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &maxAfter);
    if (!wizard_->Shown("Frame_4_Download_Progress")) break;
    // The download sets the bar's range once it knows the size: a reading taken across that
    // moment compares the value with another range, so it is read again.
    if (maxAfter != max) continue;
    ASSERT_GT(max, 0u);
    EXPECT_EQ(a.role, ROLE_SYSTEM_PROGRESSBAR);
    const long low = std::lround(100.0 * static_cast<double>(before) / static_cast<double>(max));
    const long high = std::lround(100.0 * static_cast<double>(after) / static_cast<double>(max));
    const long shown = a.value.empty() ? -1 : std::wcstol(a.value.c_str(), nullptr, 10);
    EXPECT_EQ(a.value, std::to_wstring(shown) + L"%");
    EXPECT_GE(shown, low) << Utf8(a.value);
    EXPECT_LE(shown, high) << Utf8(a.value);
    if (shown > 0 && shown < 100) ++between;
    if (values.empty() || values.back() != a.value) values.push_back(a.value);
    Sleep(100);
  }
  EXPECT_GT(between, 0) << "no value between 0% and 100% was read";
  EXPECT_GE(values.size(), 2u) << "the value never changed";
  ASSERT_TRUE(wizard_->Shown("Frame_4_Download_Progress")) << "the transfer ended too soon";
  checkPage("download");
  ASSERT_TRUE(wizard_->Shown("Frame_4_Download_Progress")) << "the transfer ended too soon";
  // Escape outside the updater run does what the close button does: the download stops and the
  // wizard ends without starting the updater.
  Press(VK_ESCAPE);
  ASSERT_TRUE(wizard_->WaitForEnd(kEndMs)) << "Escape did not close the wizard:\n"
                                           << wizard_->VisibleTexts();
  // What a started updater leaves behind whatever its window did: its log beside it in FW.
  const std::wstring updater = folder_ + L"\\FW\\Fernclip200_Updater.exe";
  EXPECT_FALSE(wintest::FileExists(updater + L".log")) << "the updater was started";
  EXPECT_FALSE(wintest::FileExists(updater)) << "FW still holds the updater";
}

}  // namespace
}  // namespace revivix
