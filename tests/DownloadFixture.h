// A wizard window on the license page of a detected player, with a language file of the test's
// own so that the download step's messages can be checked exactly.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ProgramImage.h"
#include "app/Lifecycle.h"
#include "app/frmMain.h"
#include "fakes/FakePlatform.h"
#include "i18n/Lists.h"

namespace revivix::test {

struct DownloadTest : ::testing::Test {
  DownloadTest() {
    platform.WriteFile("Languages/English.txt",
                       "[Strings]\r\nIDS_FW_SITE_OFFLINE=offline.\r\n"
                       "IDS_FW_DOWNLOAD_MSG1=downloading.\r\nIDS_UNEXPECTED_ERROR=unexpected.\r\n"
                       "IDS_CHOOSE_REGION_LANGUAGE=choose.\r\n");
    form.LanguageFilePath = platform.Folder() + L"\\Languages\\English.txt";
    form.UserName = L"ann";
    FillLanguageAndRegionLists(form);
    form.Combo_Language.SetText(L"English");
    form.Combo_Region.SetText(L"Europe");
    form.FirmwareSiteEurope = L"  http://site/eu/ ";
    form.FirmwareSiteWorld = L"http://site/world/";
    form.FirmwareLinkTail = L"fc200.htm";
    // The license page.
    for (Control* c : {&form.Player_Detected_Frame1, &form.Info_Label, &form.UnitxtLicense,
                       &form.Cmd_I_Agree, &form.Cmd_I_Disagree, &form.cmdExit})
      c->SetVisible(true);
    // The detection has stopped its tick once it showed the license page; the list picks' language
    // change has run.
    form.Timer2.SetEnabled(false);
    form.Timer10.SetEnabled(false);
    platform.loop.doEventsStepMs = 1;
  }

  // A link page whose only link is `updater`.
  void LinkPage(const std::wstring& url, const std::wstring& updater) {
    platform.html.pages[url].html =
        L"<HTML><BODY><A HREF=\"" + updater + L"\">Download</A></BODY></HTML>";
  }
  // The updater itself: a small complete Windows program of `size` bytes.
  static std::string ProgramBytes(std::size_t size = 4096) { return ProgramImage::OfSize(size); }
  std::wstring FwPath(const std::wstring& name) const {
    return platform.Folder() + L"\\fw\\" + name;
  }

  FakePlatform platform;
  frmMain form{platform.program};
};

}  // namespace revivix::test
