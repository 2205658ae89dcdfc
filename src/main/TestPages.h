// A hook of the test build of fernclip.exe: on request of a test program it composes any page of
// the wizard in any language, through the wizard's own page operations, and measures a control's
// text with the control's own font, so one running wizard can be checked for every page and
// language. The release build has no hook.
#pragma once

#include <windows.h>

#include <array>

namespace revivix::testhook {

// Registered window messages of the main window.
// Compose: wParam the page's index in kTestPages, lParam the language's index in the language
// list; the result is 1 when the page was composed.
inline constexpr wchar_t kComposePageMessage[] = L"RevivixTestComposePage";
// Measure: wParam the control's id; the result is MAKELRESULT(width, height) in pixels of its
// text as the control draws it (wrapped at its client width for a label, on one line for a
// button or a frame's caption), 0 for an unknown id.
inline constexpr wchar_t kMeasureTextMessage[] = L"RevivixTestMeasureText";
// Timer: wParam the timer's number (1 to 10, Timer1 to Timer10); the result is 1 while that timer
// is enabled, 0 when it is not, -1 for another number. Tests ask it instead of sitting out a timer
// of the wizard in real time, whose timing the native suite checks on a virtual clock.
inline constexpr wchar_t kTimerEnabledMessage[] = L"RevivixTestTimerEnabled";

struct TestPage {
  const char* name;
  // The message of an error page; nullptr for the other pages.
  const wchar_t* errorKey;
};

inline constexpr std::array<TestPage, 22> kTestPages = {{
    {"start", nullptr},
    {"license (storage device)", nullptr},
    {"license (MTP player)", nullptr},
    {"serial number", nullptr},
    {"serial number not recognised", nullptr},
    {"knowledge-base question", nullptr},
    {"update notice", nullptr},
    {"download with progress", nullptr},
    {"updater running", nullptr},
    {"success", nullptr},
    {"failure", nullptr},
    {"error: choose region and language", L"IDS_CHOOSE_REGION_LANGUAGE"},
    {"error: administrator", L"IDS_ADMIN_ERROR_MSG"},
    {"error: system not supported", L"IDS_OS_NOT_SUPPORTED"},
    {"error: no Internet connection", L"IDS_NO_INTERNET_CONNECTION"},
    {"error: database", L"IDS_PID_DATABASE_CONNECTION_FAILED"},
    {"error: no player", L"IDS_NO_DEVICE_FOUND_MSG01"},
    {"error: more players", L"IDS_MORE_DEVICES_FOUND"},
    {"error: no updates for this system", L"IDS_NO_VISTA_UPDATES"},
    {"error: media player not supported", L"IDS_WMP11_NOT_SUPPORTED"},
    {"error: firmware site offline", L"IDS_FW_SITE_OFFLINE"},
    {"error: unexpected", L"IDS_UNEXPECTED_ERROR"},
}};

}  // namespace revivix::testhook

#ifdef REVIVIX_TEST_HOOKS
namespace revivix {
class frmMain;
namespace win32 {
class FormViews;
}
namespace testhook {
// Answers the hook's messages on the main window of `views`.
void Install(win32::FormViews& views, frmMain& form);
}  // namespace testhook
}  // namespace revivix
#endif
