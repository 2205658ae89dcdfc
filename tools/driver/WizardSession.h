// One run of the wizard driven like a user: the program started from its folder, its pages read
// from which controls are visible, buttons clicked, lists picked and text typed through the
// controls' own windows, and a description of what is visible when something goes wrong.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "driver/Text.h"

namespace revivix::driver {

// The pages a user tells apart on the wizard's window.
enum class Page {
  Start,
  ModelAndSerialNumber,
  KnowledgeBaseQuestion,
  UpdateNotice,
  License,
  Download,
  Message,  // the error frame: an error, the download message or the updater's result
  Ended,
};
const char* PageName(Page page);

class WizardSession {
 public:
  WizardSession() = default;
  // A program still running is ended.
  ~WizardSession();
  WizardSession(const WizardSession&) = delete;
  WizardSession& operator=(const WizardSession&) = delete;

  // Starts fernclip.exe in `folder` and waits for its window; false when none appeared.
  bool Start(const std::wstring& folder, DWORD timeoutMs);

  HWND Main() const { return main_; }
  DWORD ProcessId() const { return info_.dwProcessId; }
  // The program's process; nullptr before a start.
  HANDLE Process() const { return started_ ? info_.hProcess : nullptr; }
  HWND Control(std::string_view name) const;
  // Visible as the user sees it: the control and every container up to the window.
  bool Shown(std::string_view name) const;
  bool Enabled(std::string_view name) const;
  std::wstring Text(std::string_view name) const;

  // Presses a visible, enabled button as a click does (BM_CLICK); false when it cannot be pressed.
  bool Click(std::string_view name);
  // Picks the list entry with exactly this text, as a pick with the mouse does.
  bool Pick(std::string_view name, const std::wstring& entry);
  // Replaces the text of an edit box as typing does (the box notifies its parent of the change).
  bool Type(std::string_view name, const std::wstring& text);

  Page CurrentPage() const;
  bool WaitForPage(Page page, DWORD timeoutMs);
  bool WaitForEnd(DWORD timeoutMs);
  bool Ended() const;
  // The exit code of the ended program; false while it runs or when it was never started.
  bool ExitCode(DWORD& code) const;

  // Every visible control with its text, one per line ("Uni_Error_Label1: ..."), as UTF-8.
  std::string VisibleTexts() const;

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
  HWND main_ = nullptr;
};

// The whole screen as a 24-bit BMP file; false when it could not be written.
bool SaveScreenshot(const std::wstring& path);

}  // namespace revivix::driver
