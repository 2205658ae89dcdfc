// A wizard window on the fake platform, past its start-up, with a language and a region picked
// and a small player database in place, so that the buttons can be pressed as a user does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormFixture.h"
#include "LanguageKeys.h"
#include "app/Navigation.h"
#include "common/Text.h"
#include "i18n/LanguageFile.h"
#include "i18n/Lists.h"

namespace revivix::test {

// Three record lines and the empty piece after the page's last line break. Model 200 is an MSC
// player chosen by serial suffix AB12, model 300 an MTP player with suffix 7Q9Z whose updater
// supports only level 1, the recorder cannot be chosen by serial number.
inline std::vector<std::wstring> SampleDatabaseLines() {
  return {
      L"PID_4157, Fernclip 200 ,2,10, MSC ,AB12,/fw/200.htm,http://eu.example.com,"
      L"http://world.example.com,-, Fernclip 200 Firmware Updater ,"
      L" http://support.example.com/200 ,0,http://update.example.com/new",
      L"PID_4158,Fernclip 300,1,11,MTP, 7q9z ,/fw/300.htm,http://eu.example.com,"
      L"http://world.example.com,-,Fernclip 300 Firmware UPGRADE,"
      L"http://support.example.com/300,0,http://update.example.com/new",
      L"PID_4159,Fernclip Recorder,2,10,MSC,N/A,/fw/rec.htm,http://eu.example.com,"
      L"http://world.example.com,-,Recorder Updater,http://support.example.com/rec,0,-",
      L"",
  };
}

// The page the window shows, read from its controls as a user sees them.
inline std::string PageOf(frmMain& form) {
  if (form.Unloaded()) return "ended";
  if (form.Frame_Error_Handling.Visible()) return "error";
  if (form.Frame_DetectPlayer_by_SNO.Visible()) {
    if (form.CmdYes.Visible() && form.UniLabel_New_Version_Info.Visible() &&
        !form.Uni_PID3500_err_MSG.Visible())
      return "update notice";
    if (form.CmdYes.Visible() && !form.Cmd_Next.Visible()) return "knowledge-base question";
    return "model and serial number";
  }
  if (form.UnitxtLicense.Visible() && form.Cmd_I_Agree.Visible()) return "license";
  if (form.Timer2.Enabled() && form.VistaProg1.Visible()) return "detecting";
  return "start";
}

struct NavigationTest : FormTest {
  NavigationTest() {
    // Each text names its key, so a test sees which message is shown.
    std::string language = "[Strings]\r\n";
    for (const wchar_t* key : kLanguageKeys)
      language += ToUtf8(key) + "=text of " + ToUtf8(key) + "\r\n";
    platform.WriteFile("Languages/English.txt", language);
    platform.WriteUtf16File("License/English.txt", L"License in English");
    FormLoad(form);
    // The parts of the start-up that the buttons rely on.
    FillLanguageAndRegionLists(form);
    ResolveLanguageFile(form, /*atStartUp=*/true);
    form.UserName = L"Ann";
    form.OsCode = L"1";
    form.DatabaseLines = SampleDatabaseLines();
    Pick(form.Combo_Region, L"Europe");
    Pick(form.Combo_Language, L"English");
  }

  static std::wstring Text(const std::wstring& key) { return L"text of " + key; }
  std::wstring ErrorText(const std::wstring& key) const { return L"Ann, " + Text(key); }

  // A pick in a list as the user makes it, with the language change that follows it.
  void Pick(Control& list, const wchar_t* entry) {
    list.SetText(entry);
    platform.loop.Advance(20);
  }

  // What the detection leaves for one player in recovery mode: the model and serial-number page.
  void OpenSerialPage() {
    form.Combo_Choose_Player.Clear();
    for (const wchar_t* entry : {L"Choose Player", L"Fernclip 200", L"Fernclip 300"})
      form.Combo_Choose_Player.AddItem(entry);
    form.SerialAttempts = 0;
    form.Uni_PID3500_err_MSG.SetCaption(Text(L"IDS_ENTER_PLAYER_SNO"));
    form.UniLabel_New_Version_Info.SetVisible(false);
    form.Uni_PID3500_err_MSG.SetVisible(true);
    form.Frame_DetectPlayer_by_SNO.Move(180, 2620);
    form.Frame_DetectPlayer_by_SNO.SetVisible(true);
    form.Combo_Choose_Player.SetText(L"Choose Player");
    form.cmdExit.SetVisible(false);
    form.Timer2.SetEnabled(false);
  }

  // The user types a serial number and presses Next.
  void EnterSerial(const std::wstring& serial) {
    form.txtSNO.UserEdit(serial);
    form.Cmd_Next.RaiseClick();
  }

  // What the detection leaves for one identified player: the license page.
  void OpenLicensePage() {
    OpenSerialPage();
    form.Combo_Choose_Player.SetText(L"Fernclip 200");
    form.Cmd_Next.RaiseClick();
    ASSERT_EQ(PageOf(form), "license");
  }
};

}  // namespace revivix::test
