#include "app/Lifecycle.h"

#include <cmath>
#include <exception>

#include "app/Keyboard.h"
#include "app/Pages.h"
#include "app/UpdateNotice.h"
#include "app/Version.h"
#include "app/processt.h"
#include "checks/Environment.h"
#include "checks/IsAdmin_BAS.h"
#include "checks/WMPversion.h"
#include "common/Text.h"
#include "controls/mdlSkinButtons.h"
#include "detection/PlayerDatabase.h"
#include "download/FirmwareFolder.h"
#include "download/TumoDL.h"
#include "i18n/LanguageFile.h"
#include "i18n/Lists.h"
#include "i18n/Settings.h"

namespace revivix {

void RunStep(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception&) {
    // The sequence skips a failing step on purpose and goes on with the next one.
  }
}

namespace {

const wchar_t* PageName(WizardPage page) {
  switch (page) {
    case WizardPage::Start:
      return L"start";
    case WizardPage::Detecting:
      return L"detection";
    case WizardPage::ChooseRegionAndLanguage:
      return L"choose region and language";
    case WizardPage::ModelAndSerialNumber:
      return L"model and serial number";
    case WizardPage::KnowledgeBaseQuestion:
      return L"knowledge-base question";
    case WizardPage::UpdateNotice:
      return L"update notice";
    case WizardPage::License:
      return L"license";
    case WizardPage::Download:
      return L"download";
    case WizardPage::UpdaterRunning:
      return L"updater running";
    case WizardPage::Message:
      return L"message";
  }
  return L"unknown";
}

}  // namespace

void Initialise(frmMain& form) {
  RunStep([&] {
    RunLog& log = form.program.log;
    log.Start(form.program.ports.system.ProgramFolder());
    log.Write(logtag::kRun, std::wstring(L"Revivix ") + kProgramVersion + L", " +
                                (sizeof(void*) == 8 ? L"64-bit" : L"32-bit") + L" program");
  });
  RunStep([&] {
    if (form.program.ports.processes.PreviousInstanceRunning()) {
      form.program.log.Write(logtag::kRun, L"an earlier copy is running: it is ended");
      KillProcessByName(form.program.ports.processes, L"fernclip.exe");
    }
  });
}

void FormLoad(frmMain& form) {
  MainWindow& window = form.program.ports.window;
  RunStep([&] {
    form.Label_Actual_Size.SetCaption(L"");
    form.Label_Total_FileSize.SetCaption(L"");
  });
  RunStep([&] { form.NoticeLabelTop = form.UniLabel_New_Version_Info.Top(); });
  RunStep([&] {
    form.UpdateAvailable = false;
    form.MscOnXp = false;
  });
  RunStep([&] {
    window.SetStyle(window.GetStyle() & ~(MainWindow::kMaximizeBox | MainWindow::kSizingBorder));
    window.RemoveSystemMenuItem(4);
  });
  RunStep([&] { window.MakeTopmost(); });
  RunStep([&] {
    form.Window.SetWidth(kWindowWidth);
    form.Window.SetHeight(kWindowHeight);
  });
  RunStep([&] { form.LanguageAndRegionChosen = false; });
  RunStep([&] {
    // The clean-up never works in a link: FW is made the wizard's own folder and pinned first.
    FolderGuard& guard = form.program.ports.folders;
    const std::wstring fw = FirmwareFolder(form);
    const std::unique_ptr<FolderHold> pin = PrepareFirmwareFolder(guard, fw);
    if (pin) form.program.SharedFileSystem().DeleteFiles(fw + L"\\*.exe");
  });
  RunStep([&] {
    SystemInfo& system = form.program.ports.system;
    const ScreenMetrics screen{system.TwipsPerPixelX(), system.TwipsPerPixelY(),
                               system.SysColor(kButtonFaceIndex)};
    // Rings from each button's own colour outside towards dark blue (&H804000) inside.
    SkinButtons(form.Controls(), 3, 8404992, 2, 4, screen);
  });
}

void RunStartupChecks(frmMain& form) {
  // The waits of the checks let clicks run: once the user has left, no further check runs.
  const auto step = [&form](const std::function<void()>& check) {
    if (!form.Quitting()) RunStep(check);
  };
  step([&] { form.VistaProg1.SetValue(0); });
  step([&] {
    form.UserName = GetCurrentUserName(form);
    // The names greet the user; the log keeps only their lengths.
    form.program.log.Write(logtag::kSystem, L"user name: " + LogLength(form.UserName));
  });
  step([&] {
    form.ComputerName = GetLocalComputerName(form);
    form.program.log.Write(logtag::kSystem, L"computer name: " + LogLength(form.ComputerName));
  });
  step([&] { ApplyPageColours(form); });
  step([&] { FillLanguageAndRegionLists(form); });
  step([&] { LoadSettings(form); });
  step([&] { CheckAdministrator(form); });
  bool administrator = false;
  step([&] { administrator = IsAdministrator(form); });
  if (administrator) {
    step([&] { CheckOperatingSystem(form); });
    if (NumericValue(form.OsCode) >= 1) {
      step([&] { CheckInternetConnection(form); });
      // Read whatever the Internet check found.
      step([&] {
        form.MediaPlayerVersion = GetMediaPlayerVersion(form.program.ports.registry);
        form.program.log.Write(logtag::kCheck, L"media player version: " + form.MediaPlayerVersion);
      });
      bool reachable = false;
      step([&] { reachable = IsInternetReachable(form); });
      if (reachable) step([&] { LoadPlayerDatabase(form); });
    }
  }
  // Last, whatever the checks found: the offer of a newer version, when one is announced.
  step([&] { ShowUpdateNotice(form); });
}

void QuitWizard(frmMain& form) {
  if (form.quitting_) return;
  form.quitting_ = true;
  RunStep([&] {
    RunLog& log = form.program.log;
    log.Write(logtag::kRun, L"run ended by " +
                                (log.endCause.empty() ? std::wstring(L"the window's close request")
                                                      : log.endCause) +
                                L" on the " + PageName(CurrentPage(form)) + L" page");
  });
  RunStep([&] { form.Timer1.SetEnabled(false); });
  RunStep([&] { SaveSettings(form); });
  // A download still under way is stopped, so no updater arrives after the wizard has gone.
  RunStep([&] {
    if (form.mydl && form.mydl->Running()) form.mydl->KillTumo();
  });
  // An updater that the wizard has just closed may still be ending, and a running program's file
  // cannot be deleted: it gets a short while to end first. One that does not is left, and the
  // next start deletes its file.
  RunStep([&] {
    if (form.closingUpdater != 0)
      form.program.ports.processes.WaitForExit(form.closingUpdater, kUpdaterEndWaitMs);
  });
  RunStep([&] { DeleteDownloadedUpdater(form); });
  RunStep([&] { form.program.ReleaseFileSystem(); });
  RunStep([&] {
    // Unloading raises the close handler, which finds the wizard already quitting. The window's
    // timers end with it.
    form.CloseRequest();
    for (Timer* t : form.Timers()) t->SetEnabled(false);
    form.unloaded_ = true;
    form.program.ports.window.Destroy();
  });
}

}  // namespace revivix
