// The wizard's one window: the state it keeps for the run, its controls and its ten timers,
// under the names the rest of the program uses. Operations live beside their subsystem as
// functions on the form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "controls/Control.h"
#include "controls/Timer.h"
#include "controls/VistaProg.h"

namespace revivix {

class TumoDL;

class frmMain {
 public:
  explicit frmMain(Program& program);
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  Program& program;

  // ---- Application state, in declaration order ----
  std::wstring LastMessage;
  std::wstring LanguageFilePath;
  std::wstring OsCode;
  std::wstring MediaPlayerVersion;
  std::wstring UserName;
  std::wstring ComputerName;
  std::wstring PlayerModel;
  std::wstring PlayerOsLevel;
  std::wstring PlayerMediaPlayerVersion;
  std::wstring PlayerMode;
  std::wstring FirmwareLinkTail;
  std::wstring FirmwareSiteWorld;
  std::wstring FirmwareSiteEurope;
  std::wstring UpdaterTitle;
  std::wstring SupportUrl;
  std::int32_t RecoveryDeviceCount = 0;
  bool LanguageAndRegionChosen = false;
  std::wstring ShowCommand;  // never assigned: converts to show mode 0
  std::int32_t SerialAttempts = 0;
  std::vector<std::wstring> DatabaseLines;
  std::wstring UpdaterUrl;
  std::wstring UpdaterPath;
  bool DatabaseAvailable = false;
  bool UpdateAvailable = false;
  std::wstring UpdateUrl;
  bool MscOnXp = false;
  std::int32_t NoticeLabelTop = 0;
  // The download of the updater; a new one for every download.
  std::shared_ptr<TumoDL> mydl;
  // The started updater's file, held so that nobody can change it while it runs (an updater may
  // read its firmware from its own file); released before the file is deleted.
  std::unique_ptr<FileHold> updaterHold;
  // The updater's process once the wizard has asked it to close: its file can only be deleted
  // when it has ended, so the exit gives it a short while to do so.
  ProcessId closingUpdater = 0;
  // The watch over the updater's start, on until its main window has been found, and Timer4's
  // ticks since the shell started it. A process that ends without ever showing the window has
  // not run.
  bool watchingUpdaterStart = false;
  std::int32_t updaterStartTicks = 0;

  // ---- The window and its controls, in the order of the form's control collection ----
  Control Window;  // the form itself: caption, size, background
  Control Frame_Region_Lang;
  Control Combo_Region;
  Control Combo_Language;
  Control Frame_DetectPlayer_by_SNO;
  Control Uni_PID3500_err_MSG;
  Control UniLabel_New_Version_Info;
  Control Label_Player;
  Control Combo_Choose_Player;
  Control Label_SNO;
  Control txtSNO;
  Control CmdYes;
  Control CmdNo;
  Control Cmd_Next;
  Control Player_Detected_Frame1;
  Control Player_Detected_Label;
  Control Info_Label;
  Control UnitxtLicense;
  VistaProg VistaProg1;
  Control Frame_4_Download_Progress;
  VistaProg VistaProg2;
  Control Label_Actual_Size;
  Control Label_Total_FileSize;
  Control Frame_Error_Handling;
  Control Uni_Error_Label1;
  Control UniButton_Help;
  Control UniRefresh;
  Control Cmd_I_Disagree;
  Control Cmd_I_Agree;
  Control cmdExit;
  Control List1;

  // ---- The ten timers ----
  Timer Timer1;
  Timer Timer2;
  Timer Timer3;
  Timer Timer4;
  Timer Timer5;
  Timer Timer6;
  Timer Timer7;
  Timer Timer8;
  Timer Timer9;
  Timer Timer10;

  // Every control except the window itself, in collection order.
  const std::vector<Control*>& Controls() const { return controls_; }
  std::vector<Timer*> Timers();

  // ---- Life of the window ----
  bool Activated() const { return activated_; }
  bool Unloaded() const { return unloaded_; }
  bool Quitting() const { return quitting_; }
  // RunStartupChecks, and Accept (link page, download, start of the updater), are under way.
  // Their waits let pending events run; while either runs, no detection and no second Accept
  // start inside it.
  bool StartupRunning() const { return startupRunning_; }
  bool AcceptRunning() const { return acceptRunning_; }

  // The window became active; the first activation runs the start-up checks.
  void Activate();
  // The close request (title-bar button, system menu, or the unload that QuitWizard starts).
  void CloseRequest();

 private:
  friend void QuitWizard(frmMain& form);
  friend void Cmd_I_Agree_Click(frmMain& form);
  std::vector<Control*> controls_;
  bool activated_ = false;
  bool startupRunning_ = false;
  bool acceptRunning_ = false;
  bool quitting_ = false;
  bool unloaded_ = false;
};

// The design captions and colours used by several subsystems.
inline constexpr std::uint32_t kPageColour = 0xEBEDED;
inline constexpr std::uint32_t kDarkRed = 0x0000C0;
inline constexpr std::uint32_t kSizeLabelColour = 0x404040;
inline constexpr int kWindowWidth = 8080;
inline constexpr int kWindowHeight = 7565;

}  // namespace revivix
