// The one way the Wine tests run the real fernclip.exe: a runnable folder of the test's own (a
// copy of the program's folder), the machine the test pretends to be (driver::WineMachine, put
// back when the test ends), the wizard started, driven and read through driver::WizardSession,
// the pages and messages waited for, and the program closed and waited for to its end.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "driver/PageReader.h"
#include "driver/Text.h"
#include "driver/WindowProbe.h"
#include "driver/WineMachine.h"
#include "driver/WizardSession.h"

namespace revivix::wintest {

// From the start to the wizard's window.
inline constexpr DWORD kStartMs = 20000;
// A page the start-up checks, the detection or a download bring.
inline constexpr DWORD kPageMs = 30000;
// From a close request or Exit to the program's end.
inline constexpr DWORD kEndMs = 15000;

// The settings of a wizard whose region and language were chosen before.
inline constexpr char kEuropeEnglish[] = "[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n";

class RoadFixture : public testing::Test {
 protected:
  void TearDown() override { EndRun(); }

  // Ends the wizard if it still runs, puts the machine back and removes the runnable folder; a
  // test that runs the wizard from several folders calls it between the runs.
  void EndRun();

  // The runnable folder: the folder of fernclip.exe (the test's first argument) copied into a
  // new temporary folder whose name starts with `prefix`, or into the existing folder `into`,
  // which the fixture then leaves in place at the end.
  void PrepareFolder(const std::wstring& prefix, const std::wstring& into = L"");
  void WriteSettings(const std::string& settings);
  // site.ini: the maker's site the wizard asks.
  void WriteSite(const std::wstring& address);

  // Starts fernclip.exe from the runnable folder and waits for its window.
  void StartWizard();
  HWND Main() const { return wizard_ ? wizard_->Main() : nullptr; }
  HWND Control(std::string_view name) const { return wizard_ ? wizard_->Control(name) : nullptr; }
  driver::ControlState Read(std::string_view name) const;
  bool Running() const { return wizard_ && !wizard_->Ended(); }

  // Waits for a page; a failure names the page and what the window showed.
  void ExpectPage(driver::Page page, DWORD timeoutMs = kPageMs);
  // Presses a visible, enabled button; a failure says what was visible.
  void Click(std::string_view button);

  // A text of a language file in the runnable folder, read as the wizard reads it.
  std::wstring LanguageText(const std::wstring& language, const wchar_t* key) const;
  std::wstring Message(const wchar_t* key) const { return LanguageText(L"English", key); }
  // The license file's UTF-16LE text without its byte-order mark, as the license box shows it.
  std::wstring LicenseText(const std::wstring& language = L"English") const;
  // An error text as the window shows it: the user's name, ", " and the message.
  static std::wstring UserPrefixed(const std::wstring& message);
  std::wstring ErrorText(const wchar_t* key) const { return UserPrefixed(Message(key)); }

  // Waits for the error page whose label is exactly ErrorText(key).
  void ExpectErrorPage(const wchar_t* key, DWORD timeoutMs = kPageMs);
  // The message label ends with the English text of `key` (after the user's name, or after
  // whatever the page puts before it).
  bool LabelEndsWith(const wchar_t* key) const;
  void ExpectMessage(const wchar_t* key, DWORD timeoutMs = kPageMs);

  // Asks the test build's hook whether Timer<number> is on; false when the wizard did not
  // answer within 5 s.
  bool AskTimerEnabled(int number, DWORD_PTR& enabled) const;
  // Neither of the timers that end the program by themselves is on: Timer1 (30 s after an error)
  // and Timer6 (2 s after a failed download). Their timing is checked on the native suite's
  // virtual clock; the page that must stay is asked here instead of being sat out.
  void ExpectNoTimerEndsTheProgram() const;

  // The close request as from the title-bar button, and the program's end within kEndMs.
  void Close();
  // The program's end (by itself or after Exit) within `timeoutMs`; a failure shows the page.
  void ExpectEnd(DWORD timeoutMs = kEndMs);
  // The exit code of the ended program; a failure when it still runs.
  void ExpectExitCode(DWORD expected);

  driver::WineMachine machine_;
  std::unique_ptr<driver::WizardSession> wizard_;
  std::wstring folder_;

 private:
  bool ownsFolder_ = false;
};

}  // namespace revivix::wintest
