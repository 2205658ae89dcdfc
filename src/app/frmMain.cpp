#include "app/frmMain.h"

#include "app/Accept.h"
#include "app/Lifecycle.h"
#include "app/Navigation.h"
#include "automation/UpdaterAutomation.h"
#include "detection/PlayerIdentification.h"
#include "i18n/ApplyLanguage.h"

namespace revivix {

namespace {
const ControlStyle kNoBorder{.border = false};
constexpr ControlKind F = ControlKind::Frame;
constexpr ControlKind L = ControlKind::Label;
constexpr ControlKind D = ControlKind::DropDownList;
constexpr ControlKind B = ControlKind::UniButton;
constexpr ControlKind U = ControlKind::UniLabel;
}  // namespace

frmMain::frmMain(Program& p)
    : program(p),
      Window("frmMain", ControlKind::Form, nullptr, {0, 0, kWindowWidth, kWindowHeight}, true,
             L"Zanterix Revivix"),
      Frame_Region_Lang("Frame_Region_Lang", F, &Window, {165, 1260, 7675, 560}, true, L""),
      Combo_Region("Combo_Region", D, &Frame_Region_Lang, {120, 160, 3015, 315}, true, L""),
      Combo_Language("Combo_Language", D, &Frame_Region_Lang, {4540, 160, 3015, 315}, true, L""),
      Frame_DetectPlayer_by_SNO("Frame_DetectPlayer_by_SNO", F, &Window, {8280, 720, 7455, 3255},
                                false, L"", kNoBorder),
      Uni_PID3500_err_MSG("Uni_PID3500_err_MSG", U, &Frame_DetectPlayer_by_SNO,
                          {600, 240, 6255, 255}, true, L""),
      UniLabel_New_Version_Info("UniLabel_New_Version_Info", U, &Frame_DetectPlayer_by_SNO,
                                {600, 240, 6255, 495}, false,
                                L"A Revivix update is available. Do you want to update now?"),
      Label_Player("Label_Player", L, &Frame_DetectPlayer_by_SNO, {1760, 1155, 435, 195}, true,
                   L"Player"),
      Combo_Choose_Player("Combo_Choose_Player", D, &Frame_DetectPlayer_by_SNO,
                          {2280, 1080, 2775, 315}, true, L""),
      Label_SNO("Label_SNO", L, &Frame_DetectPlayer_by_SNO, {1920, 1800, 300, 195}, true, L"S/N"),
      txtSNO("txtSNO", ControlKind::TextBox, &Frame_DetectPlayer_by_SNO, {2280, 1680, 1305, 360},
             true, L""),
      CmdYes("CmdYes", B, &Frame_DetectPlayer_by_SNO, {2640, 1320, 1095, 420}, false, L"Yes"),
      CmdNo("CmdNo", B, &Frame_DetectPlayer_by_SNO, {3870, 1320, 1095, 420}, false, L"No"),
      Cmd_Next("Cmd_Next", B, &Frame_DetectPlayer_by_SNO, {6000, 2760, 1335, 420}, true, L"Next"),
      Player_Detected_Frame1("Player_Detected_Frame1", ControlKind::UniFrame, &Window,
                             {840, 1935, 6120, 660}, false, L"Player detected"),
      Player_Detected_Label("Player_Detected_Label", L, &Player_Detected_Frame1,
                            {1920, 220, 1950, 300}, true, L"player detected",
                            ControlStyle{.bold = true, .centred = true}),
      Info_Label("Info_Label", U, &Window, {240, 2805, 7455, 210}, false, L""),
      UnitxtLicense("UnitxtLicense", ControlKind::UniText, &Window, {120, 3240, 2655, 615}, false,
                    L""),
      VistaProg1("VistaProg1", &Window, {1560, 4005, 4815, 225}, false),
      Frame_4_Download_Progress("Frame_4_Download_Progress", F, &Window, {1440, 4395, 5055, 615},
                                false, L"", kNoBorder),
      VistaProg2("VistaProg2", &Frame_4_Download_Progress, {120, 120, 4815, 225}, true),
      Label_Actual_Size("Label_Actual_Size", L, &Frame_4_Download_Progress, {3930, 360, 345, 180},
                        true, L"00.00"),
      Label_Total_FileSize("Label_Total_FileSize", L, &Frame_4_Download_Progress,
                           {4290, 360, 645, 180}, true, L"/00.00 MB"),
      Frame_Error_Handling("Frame_Error_Handling", F, &Window, {8280, 4440, 7455, 2775}, false,
                           L""),
      Uni_Error_Label1("Uni_Error_Label1", U, &Frame_Error_Handling, {600, 600, 6255, 285}, true,
                       L""),
      UniButton_Help("UniButton_Help", B, &Window, {165, 6555, 1335, 420}, true, L"Help"),
      UniRefresh("UniRefresh", B, &Window, {1605, 6555, 1335, 420}, true, L"Refresh"),
      Cmd_I_Disagree("Cmd_I_Disagree", B, &Window, {5015, 6555, 1335, 420}, false, L"Decline"),
      Cmd_I_Agree("Cmd_I_Agree", B, &Window, {6480, 6555, 1335, 420}, false, L"Accept"),
      cmdExit("cmdExit", B, &Window, {6465, 6555, 1335, 420}, false, L"Exit"),
      List1("List1", ControlKind::ListBox, &Window, {9600, 240, 1335, 300}, true, L""),
      Timer1("Timer1", 30000, false),
      Timer2("Timer2", 1000, true),
      Timer3("Timer3", 20, false),
      Timer4("Timer4", 1000, false),
      Timer5("Timer5", 20, false),
      Timer6("Timer6", 2000, false),
      Timer7("Timer7", 100, false),
      Timer8("Timer8", 100, false),
      Timer9("Timer9", 200, false),
      Timer10("Timer10", 20, false) {
  controls_ = {&Frame_Region_Lang,
               &Combo_Region,
               &Combo_Language,
               &Frame_DetectPlayer_by_SNO,
               &Uni_PID3500_err_MSG,
               &UniLabel_New_Version_Info,
               &Label_Player,
               &Combo_Choose_Player,
               &Label_SNO,
               &txtSNO,
               &CmdYes,
               &CmdNo,
               &Cmd_Next,
               &Player_Detected_Frame1,
               &Player_Detected_Label,
               &Info_Label,
               &UnitxtLicense,
               &VistaProg1,
               &Frame_4_Download_Progress,
               &VistaProg2,
               &Label_Actual_Size,
               &Label_Total_FileSize,
               &Frame_Error_Handling,
               &Uni_Error_Label1,
               &UniButton_Help,
               &UniRefresh,
               &Cmd_I_Disagree,
               &Cmd_I_Agree,
               &cmdExit,
               &List1};

  Frame_Region_Lang.SetForeColor(kDarkRed);
  Player_Detected_Label.SetForeColor(kDarkRed);
  Label_Actual_Size.SetForeColor(kSizeLabelColour);
  Label_Total_FileSize.SetForeColor(kSizeLabelColour);

  // The ways out that belong to the window itself.
  cmdExit.Click = [this] {
    if (!quitting_) program.log.endCause = L"the Exit button";
    QuitWizard(*this);
  };
  Timer1.OnTick = [this] {
    if (!quitting_) program.log.endCause = L"Timer1 (30 s after an error)";
    QuitWizard(*this);
  };
  Timer6.OnTick = [this] {
    if (!quitting_) program.log.endCause = L"Timer6 (2 s after a failed download)";
    QuitWizard(*this);
  };

  // Accept on the license page downloads and starts the updater.
  Cmd_I_Agree.Click = [this] { Cmd_I_Agree_Click(*this); };

  // A pick in either list changes the language once, shortly after the pick.
  Combo_Language.Click = [this] { Timer10.SetEnabled(true); };
  Combo_Region.Click = [this] { Timer10.SetEnabled(true); };
  Timer10.OnTick = [this] { Timer10_Timer(*this); };

  // Next, Decline, Yes, No, Refresh, Help and the player list.
  ConnectNavigation(*this);
  // The detection tick and its progress animation.
  Timer2.OnTick = [this] { Timer2_Timer(*this); };
  Timer3.OnTick = [this] { Timer3_Timer(*this); };
  // The updater automation: the download step enables Timer4 and Timer5, they enable the rest.
  Timer4.OnTick = [this] { Timer4_Timer(*this); };
  Timer5.OnTick = [this] { Timer5_Timer(*this); };
  Timer7.OnTick = [this] { Timer7_Timer(*this); };
  Timer8.OnTick = [this] { Timer8_Timer(*this); };
  Timer9.OnTick = [this] { Timer9_Timer(*this); };

  // Timers count from the window's creation.
  for (Timer* t : Timers()) t->Bind(&program.ports.loop);
}

std::vector<Timer*> frmMain::Timers() {
  return {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5,
          &Timer6, &Timer7, &Timer8, &Timer9, &Timer10};
}

void frmMain::Activate() {
  if (activated_ || unloaded_) return;
  activated_ = true;
  startupRunning_ = true;
  RunStartupChecks(*this);
  startupRunning_ = false;
}

void frmMain::CloseRequest() {
  QuitWizard(*this);
}

}  // namespace revivix
