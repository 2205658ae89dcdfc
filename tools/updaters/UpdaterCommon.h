// Shared by the two simulated firmware updaters: the scenario read from the program's own file
// name, the log beside the program, the start, the main window and its message loop, buttons
// that log the clicks and closes they receive, the question windows ("Option", "Warning!") with
// the "Option" question of "&Format Data Area", and the deferred close after clicks on "&Close".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace updater {

// The scenario keywords found (case-insensitively) in the program's own file name.
struct Scenario {
  bool fail = false;
  bool lowBattery = false;
  bool secondWarning = false;
  bool slowStart = false;
  bool bothButtons = false;
  bool hang = false;             // stops answering its messages once started
  bool slowExit = false;         // goes on running for a while after its window has closed
  bool slowClick = false;        // takes four seconds in its "&Start" handler
  std::string Describe() const;  // "success" when no keyword is present
};
Scenario ReadScenario();

// Appends one line to the program's path + ".log" (opened and closed per line, so a reader
// sees every line at once).
void Log(const std::string& line);

// A button whose BM_CLICK and WM_CLOSE are logged before the button handles them.
HWND AddButton(HWND parent, const wchar_t* caption, int id, int x, int y, int w, int h);
HWND AddStatic(HWND parent, const wchar_t* text, int x, int y, int w, int h);

// A question window of our own (not modal): `text` and buttons, each with its command id. The
// window procedure sends WM_COMMAND to `owner` with the id when a button is clicked.
HWND OpenQuestion(HWND owner, const wchar_t* title, const wchar_t* text,
                  const std::vector<std::pair<const wchar_t*, int>>& buttons);

std::string Narrow(const std::wstring& text);

// The "hang" scenario: logs "hang" and blocks the calling (user-interface) thread inside the
// handler, so no message of the program is answered any more; the program ends itself after
// two minutes so that no test leaves it behind.
[[noreturn]] void Hang();

// Registers the class of question windows and the logging button subclass. Call once.
void Initialise(HINSTANCE instance);

// The start of either updater: the scenario from the file name, Initialise, the log's first
// line ("start <kind> <scenario>"), a line with the program file's own size ("size <bytes>") and,
// for "slowstart", two seconds before any window appears.
Scenario Start(HINSTANCE instance, const char* kind);

// Registers a window class of the updater's own (its main window, a control of its own).
void RegisterWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc, int colour);

// Registers the main window's class and creates the main window, 460 by 260 at (x, y), with a
// caption, a system menu and a minimize box; it is shown by Run.
HWND CreateMainWindow(HINSTANCE instance, const wchar_t* className, WNDPROC proc,
                      const wchar_t* title, int x, int y);

// What both main windows do with WM_CLOSE (logged, then the window goes) and WM_DESTROY (the
// program ends); any other message goes to DefWindowProcW.
LRESULT DefaultMainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the main window and runs the message loop until the window is gone.
int Run(HWND main);

// The "Option" question that "&Format Data Area" asks, with "&Yes" and "&No": one at a time,
// and its answer is logged.
class OptionQuestion {
 public:
  OptionQuestion(int yesId, int noId) : yesId_(yesId), noId_(noId) {}
  void Open(HWND owner);
  // True when `id` is one of the question's answers; the answer is logged and the question
  // closed.
  bool Answer(int id);

 private:
  int yesId_, noId_;
  HWND window_ = nullptr;
};

}  // namespace updater
