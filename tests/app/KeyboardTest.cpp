// The wizard from the keyboard: the page each state of the window is read as, its forward button
// (what Enter presses), whether Escape closes, the Tab order and where the focus goes when the
// page appears. Every state is reached through the wizard's own handlers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DownloadFixture.h"
#include "NavigationFixture.h"
#include "app/Keyboard.h"
#include "app/Pages.h"
#include "app/UpdateNotice.h"
#include "automation/UpdaterAutomation.h"
#include "detection/PlayerIdentification.h"

namespace revivix::test {
namespace {

std::vector<std::string> Names(const std::vector<Control*>& controls) {
  std::vector<std::string> names;
  for (const Control* c : controls) names.push_back(c->Name());
  return names;
}

std::string NameOf(const Control* control) {
  return control ? control->Name() : "none";
}

const char* PageName(WizardPage page) {
  switch (page) {
    case WizardPage::Start:
      return "start";
    case WizardPage::Detecting:
      return "detecting";
    case WizardPage::ChooseRegionAndLanguage:
      return "choose region and language";
    case WizardPage::ModelAndSerialNumber:
      return "model and serial number";
    case WizardPage::KnowledgeBaseQuestion:
      return "knowledge-base question";
    case WizardPage::UpdateNotice:
      return "update notice";
    case WizardPage::License:
      return "license";
    case WizardPage::Download:
      return "download";
    case WizardPage::UpdaterRunning:
      return "updater running";
    case WizardPage::Message:
      return "message";
  }
  return "?";
}

// What the keyboard finds on one page.
struct PageKeys {
  std::string page;
  std::string forward;  // the button Enter presses
  bool escapeCloses;
  std::vector<std::string> tabOrder;
  std::string focus;  // where the focus goes when the page appears (from no control)
  std::string messageLabel;
};

PageKeys Read(frmMain& form) {
  const WizardPage page = CurrentPage(form);
  return {PageName(page),
          NameOf(ForwardButton(form)),
          EscapeCloses(form),
          Names(TabOrder(form)),
          NameOf(FocusWhenPageAppears(form, page, nullptr)),
          NameOf(PageMessageLabel(form, page))};
}

void ExpectKeys(frmMain& form, const PageKeys& expected) {
  const PageKeys got = Read(form);
  SCOPED_TRACE(expected.page);
  EXPECT_EQ(got.page, expected.page);
  EXPECT_EQ(got.forward, expected.forward);
  EXPECT_EQ(got.escapeCloses, expected.escapeCloses);
  EXPECT_EQ(got.tabOrder, expected.tabOrder);
  EXPECT_EQ(got.focus, expected.focus);
  EXPECT_EQ(got.messageLabel, expected.messageLabel);
}

struct PageCase {
  std::string name;
  std::function<void(NavigationTest&)> reach;
  PageKeys keys;
};

std::ostream& operator<<(std::ostream& out, const PageCase& c) {
  return out << c.name;
}

std::vector<std::string> Lists(std::vector<std::string> middle, std::vector<std::string> end) {
  std::vector<std::string> order = {"Combo_Region", "Combo_Language"};
  order.insert(order.end(), middle.begin(), middle.end());
  order.insert(order.end(), end.begin(), end.end());
  return order;
}

const std::vector<PageCase> kPageCases = {
    {"start",
     [](NavigationTest&) {},
     {"start", "none", true, Lists({}, {"UniButton_Help", "UniRefresh"}), "Combo_Region", "none"}},
    {"detecting",
     [](NavigationTest& t) { t.form.UniRefresh.RaiseClick(); },
     {"detecting", "none", true, Lists({}, {"UniButton_Help"}), "Combo_Region", "none"}},
    {"serial",
     [](NavigationTest& t) { t.OpenSerialPage(); },
     {"model and serial number", "Cmd_Next", true,
      Lists({"Combo_Choose_Player", "txtSNO", "Cmd_Next"}, {"UniButton_Help", "UniRefresh"}),
      "txtSNO", "Uni_PID3500_err_MSG"}},
    // A model picked: the serial-number box is disabled and no longer reached.
    {"serial_model_picked",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       t.form.Combo_Choose_Player.SetText(L"Fernclip 300");
     },
     {"model and serial number", "Cmd_Next", true,
      Lists({"Combo_Choose_Player", "Cmd_Next"}, {"UniButton_Help", "UniRefresh"}), "Cmd_Next",
      "Uni_PID3500_err_MSG"}},
    {"knowledge_base",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       for (const wchar_t* serial : {L"X-0001", L"X-0002", L"X-0003"}) t.EnterSerial(serial);
     },
     {"knowledge-base question", "CmdYes", true,
      Lists({"CmdYes", "CmdNo"}, {"UniButton_Help", "UniRefresh"}), "CmdYes",
      "Uni_PID3500_err_MSG"}},
    {"update_notice",
     [](NavigationTest& t) {
       t.form.UpdateAvailable = true;
       ShowUpdateNotice(t.form);
     },
     {"update notice", "CmdNo", true, Lists({"CmdYes", "CmdNo"}, {"UniButton_Help"}), "CmdNo",
      "UniLabel_New_Version_Info"}},
    // Exit lies under Accept on the license page and is not reached.
    {"license",
     [](NavigationTest& t) { t.OpenLicensePage(); },
     {"license", "Cmd_I_Agree", true,
      Lists({"UnitxtLicense"}, {"UniButton_Help", "UniRefresh", "Cmd_I_Disagree", "Cmd_I_Agree"}),
      "Cmd_I_Agree", "Info_Label"}},
    // Next before the lists hold a choice: the lists are where the user goes on, not Exit.
    {"choose_region",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       t.form.Combo_Region.SetText(L"Choose Region");
       t.form.LanguageAndRegionChosen = false;
       t.form.Cmd_Next.RaiseClick();
     },
     {"choose region and language", "none", true,
      Lists({}, {"UniButton_Help", "UniRefresh", "cmdExit"}), "Combo_Region", "Uni_Error_Label1"}},
    {"choose_language",
     [](NavigationTest& t) {
       t.OpenSerialPage();
       t.form.Combo_Language.SetText(L"Choose Language");
       t.form.LanguageAndRegionChosen = false;
       t.form.Cmd_Next.RaiseClick();
     },
     {"choose region and language", "none", true,
      Lists({}, {"UniButton_Help", "UniRefresh", "cmdExit"}), "Combo_Language",
      "Uni_Error_Label1"}},
    // A model whose updater does not support this system: an error page that ends the wizard.
    {"error",
     [](NavigationTest& t) {
       t.form.OsCode = L"2";
       t.OpenSerialPage();
       t.form.Combo_Choose_Player.SetText(L"Fernclip 300");
       t.form.Cmd_Next.RaiseClick();
     },
     {"message", "cmdExit", true, Lists({}, {"UniButton_Help", "UniRefresh", "cmdExit"}), "cmdExit",
      "Uni_Error_Label1"}},
};

using Keyboard = NavigationTest;

struct KeyboardPages : NavigationTest, ::testing::WithParamInterface<PageCase> {};

TEST_P(KeyboardPages, ForwardButtonEscapeTabOrderAndFirstFocus) {
  GetParam().reach(*this);
  ExpectKeys(form, GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(Pages, KeyboardPages, ::testing::ValuesIn(kPageCases),
                         [](const auto& info) { return info.param.name; });

// The download and the updater run, through Accept with a scripted transfer.
struct KeyboardDownload : DownloadTest {
  KeyboardDownload() {
    LinkPage(L"http://site/eu/fc200.htm", kUpdater);
    platform.download.transfers[kUpdater] = FakeTransfer::Of(ProgramBytes(), 4);
    // A tick during the transfer reads the page the download shows.
    probe.Bind(&platform.loop);
    probe.OnTick = [this] {
      if (form.Frame_4_Download_Progress.Visible() && duringDownload.page.empty())
        duringDownload = Read(form);
    };
  }
  static constexpr const wchar_t* kUpdater = L"http://site/fw/FC200_Updater.exe";
  Timer probe{"probe", 1, true};
  PageKeys duringDownload;
};

TEST_F(KeyboardDownload, NoForwardButtonWhileDownloadingNorWhileTheUpdaterRunsThenExit) {
  form.Cmd_I_Agree.RaiseClick();
  ExpectKeys(form, {"updater running",
                    "none",
                    false,
                    {"UniButton_Help", "cmdExit"},
                    "UniButton_Help",
                    "Uni_Error_Label1"});
  // While the transfer ran, Escape would have closed the window: that stops the download.
  ASSERT_FALSE(duringDownload.page.empty()) << "no tick came during the transfer";
  EXPECT_EQ(duringDownload.page, "download");
  EXPECT_EQ(duringDownload.forward, "none");
  EXPECT_TRUE(duringDownload.escapeCloses);
  EXPECT_EQ(duringDownload.tabOrder, (std::vector<std::string>{"UniButton_Help", "cmdExit"}));
  EXPECT_EQ(duringDownload.messageLabel, "Uni_Error_Label1");

  probe.SetEnabled(false);
  FinishUpgrade(form, L"COMPLETE");
  ExpectKeys(form, {"message",
                    "cmdExit",
                    true,
                    {"UniButton_Help", "UniRefresh", "cmdExit"},
                    "cmdExit",
                    "Uni_Error_Label1"});
}

// Enter presses the focused push button; with the focus on a list, a text box or nothing it
// presses the page's default button. Escape closes except while an updater runs.
struct KeyCase {
  std::string name;
  std::function<void(NavigationTest&)> reach;
  std::function<Control*(frmMain&)> focused;  // null: the focus is on no control
  Key key;
  std::string pressed;  // the button the key presses, "none" for none
  bool closes;
};

std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
  return out << c.name;
}

void ReachLicense(NavigationTest& t) {
  t.OpenLicensePage();
}

void ReachKnowledgeBaseQuestion(NavigationTest& t) {
  t.OpenSerialPage();
  for (const wchar_t* serial : {L"X-0001", L"X-0002", L"X-0003"}) t.EnterSerial(serial);
}

void ReachUpdateNotice(NavigationTest& t) {
  t.form.UpdateAvailable = true;
  t.form.UpdateUrl = L"http://update.example.com/new";
  ShowUpdateNotice(t.form);
}

void ReachNoDevice(NavigationTest& t) {
  ShowError(t.form, L"IDS_NO_DEVICE_FOUND_MSG01");
}

template <Control frmMain::*member>
Control* On(frmMain& form) {
  return &(form.*member);
}

Control* OnNothing(frmMain&) {
  return nullptr;
}

const std::vector<KeyCase> kKeyCases = {
    {"license_decline", ReachLicense, On<&frmMain::Cmd_I_Disagree>, Key::Enter, "Cmd_I_Disagree",
     false},
    {"license_accept", ReachLicense, On<&frmMain::Cmd_I_Agree>, Key::Enter, "Cmd_I_Agree", false},
    {"license_refresh", ReachLicense, On<&frmMain::UniRefresh>, Key::Enter, "UniRefresh", false},
    {"license_help", ReachLicense, On<&frmMain::UniButton_Help>, Key::Enter, "UniButton_Help",
     false},
    {"license_text", ReachLicense, On<&frmMain::UnitxtLicense>, Key::Enter, "Cmd_I_Agree", false},
    {"license_list", ReachLicense, On<&frmMain::Combo_Language>, Key::Enter, "Cmd_I_Agree", false},
    {"license_nothing", ReachLicense, OnNothing, Key::Enter, "Cmd_I_Agree", false},
    {"license_escape", ReachLicense, On<&frmMain::Cmd_I_Disagree>, Key::Escape, "none", true},
    {"no_device_refresh", ReachNoDevice, On<&frmMain::UniRefresh>, Key::Enter, "UniRefresh", false},
    {"no_device_exit", ReachNoDevice, On<&frmMain::cmdExit>, Key::Enter, "cmdExit", false},
    {"no_device_list", ReachNoDevice, On<&frmMain::Combo_Region>, Key::Enter, "cmdExit", false},
    {"serial_box", &NavigationTest::OpenSerialPage, On<&frmMain::txtSNO>, Key::Enter, "Cmd_Next",
     false},
    {"serial_player_list", &NavigationTest::OpenSerialPage, On<&frmMain::Combo_Choose_Player>,
     Key::Enter, "Cmd_Next", false},
    {"serial_refresh", &NavigationTest::OpenSerialPage, On<&frmMain::UniRefresh>, Key::Enter,
     "UniRefresh", false},
    {"question_yes", ReachKnowledgeBaseQuestion, On<&frmMain::CmdYes>, Key::Enter, "CmdYes", false},
    {"question_no", ReachKnowledgeBaseQuestion, On<&frmMain::CmdNo>, Key::Enter, "CmdNo", false},
    {"question_list", ReachKnowledgeBaseQuestion, On<&frmMain::Combo_Region>, Key::Enter, "CmdYes",
     false},
    {"notice_yes", ReachUpdateNotice, On<&frmMain::CmdYes>, Key::Enter, "CmdYes", false},
    {"notice_list", ReachUpdateNotice, On<&frmMain::Combo_Region>, Key::Enter, "CmdNo", false},
    {"start_refresh", [](NavigationTest&) {}, On<&frmMain::UniRefresh>, Key::Enter, "UniRefresh",
     false},
    {"start_list", [](NavigationTest&) {}, On<&frmMain::Combo_Region>, Key::Enter, "none", false},
    {"start_escape", [](NavigationTest&) {}, OnNothing, Key::Escape, "none", true},
    // A button that cannot be pressed now (Next hidden by the question) is not pressed.
    {"question_hidden_next", ReachKnowledgeBaseQuestion, On<&frmMain::Cmd_Next>, Key::Enter,
     "CmdYes", false},
};

struct KeyboardKeys : NavigationTest, ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyboardKeys, EnterPressesTheFocusedButtonElseTheDefaultOne) {
  const KeyCase& c = GetParam();
  c.reach(*this);
  const KeyAction action = ActionOfKey(form, c.focused(form), c.key);
  EXPECT_EQ(NameOf(action.press), c.pressed);
  EXPECT_EQ(action.close, c.closes);
}

INSTANTIATE_TEST_SUITE_P(PagesFocusAndKeys, KeyboardKeys, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return info.param.name; });

// What the presses do: Enter on a tabbed-to Decline leaves without downloading anything, and
// Enter on Refresh of the no-device page looks again instead of ending the wizard.
TEST_F(Keyboard, EnterOnDeclineLeavesWithoutADownloadAndOnRefreshLooksAgain) {
  OpenLicensePage();
  ActionOfKey(form, &form.Cmd_I_Disagree, Key::Enter).press->RaiseClick();
  EXPECT_TRUE(form.Unloaded());
  EXPECT_TRUE(platform.download.requests.empty());
}

TEST_F(Keyboard, EnterOnRefreshOfTheNoDevicePageLooksAgain) {
  ReachNoDevice(*this);
  ActionOfKey(form, &form.UniRefresh, Key::Enter).press->RaiseClick();
  EXPECT_FALSE(form.Unloaded());
  EXPECT_EQ(CurrentPage(form), WizardPage::Detecting);
}

// The focus a handler gives a new page stays; the keyboard chooses only where none did.
TEST_F(Keyboard, TheFocusAHandlerGivesANewPageStays) {
  PageFocus focus;
  focus.Follow(form, nullptr);
  // The detection's serial-number page gives the player list the focus.
  form.Combo_Choose_Player.Clear();
  for (const wchar_t* entry : {L"Choose Player", L"Fernclip 200"})
    form.Combo_Choose_Player.AddItem(entry);
  ShowSerialNumberPage(form);
  EXPECT_EQ(focus.Follow(form, &form.Combo_Choose_Player), nullptr);
  EXPECT_EQ(focus.Page(), WizardPage::ModelAndSerialNumber);
  // Three serial numbers: the question gives Yes the focus, and Yes is then Enter's default.
  for (const wchar_t* serial : {L"X-0001", L"X-0002", L"X-0003"}) EnterSerial(serial);
  EXPECT_EQ(focus.Follow(form, &form.CmdYes), nullptr);
  EXPECT_EQ(focus.Page(), WizardPage::KnowledgeBaseQuestion);
  EXPECT_EQ(ActionOfKey(form, &form.Combo_Region, Key::Enter).press, &form.CmdYes);
  // The window has not followed the handler yet (its focus was elsewhere): it follows now.
  PageFocus late;
  EXPECT_EQ(late.Follow(form, &form.Combo_Region), &form.CmdYes);
}

TEST_F(Keyboard, WhereNoHandlerGaveTheFocusTheKeyboardChooses) {
  PageFocus focus;
  focus.Follow(form, nullptr);
  // The serial-number page of the tests' own making gives no focus: the box takes it.
  OpenSerialPage();
  EXPECT_EQ(focus.Follow(form, nullptr), &form.txtSNO);
  // The pick gives Next the focus, and the error page that follows hides Next: Exit takes it.
  form.OsCode = L"2";
  form.Combo_Choose_Player.SetText(L"Fernclip 300");
  form.Cmd_Next.RaiseClick();
  EXPECT_EQ(focus.Follow(form, &form.Cmd_Next), &form.cmdExit);
  EXPECT_EQ(focus.Page(), WizardPage::Message);
}

TEST_F(Keyboard, TheUpdateNoticeGivesNoTheFocus) {
  PageFocus focus;
  focus.Follow(form, nullptr);
  ReachUpdateNotice(*this);
  EXPECT_EQ(focus.Follow(form, &form.Combo_Region), &form.CmdNo);
}

// Tab walks the order and wraps at both ends; a control outside the order starts it.
TEST_F(Keyboard, TabAndShiftTabWrapAroundTheOrder) {
  OpenLicensePage();
  const std::vector<Control*> order = TabOrder(form);
  ASSERT_EQ(order.size(), 7u);
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(NextInTabOrder(form, order[i], false), order[(i + 1) % order.size()]);
    EXPECT_EQ(NextInTabOrder(form, order[(i + 1) % order.size()], true), order[i]);
  }
  EXPECT_EQ(NextInTabOrder(form, &form.List1, false), &form.Combo_Region);
  EXPECT_EQ(NextInTabOrder(form, nullptr, true), &form.Cmd_I_Agree);
}

// The focus moves only when a new page appears, never while the user works on the same page.
TEST_F(Keyboard, TheFocusFollowsOnlyANewPage) {
  PageFocus focus;
  EXPECT_EQ(focus.Follow(form, nullptr), &form.Combo_Region);
  EXPECT_TRUE(focus.Appeared());
  EXPECT_EQ(focus.Follow(form, &form.UniButton_Help), nullptr);
  EXPECT_FALSE(focus.Appeared());
  OpenSerialPage();
  EXPECT_EQ(focus.Follow(form, &form.UniButton_Help), &form.txtSNO);
  EXPECT_EQ(focus.Page(), WizardPage::ModelAndSerialNumber);
  // A wrong serial number keeps the page: the focus stays where the handler put it.
  EnterSerial(L"X-0001");
  EXPECT_EQ(focus.Follow(form, &form.txtSNO), nullptr);
  form.Combo_Choose_Player.SetText(L"Fernclip 200");
  form.Cmd_Next.RaiseClick();
  EXPECT_EQ(focus.Follow(form, &form.Cmd_Next), &form.Cmd_I_Agree);
  EXPECT_EQ(focus.Page(), WizardPage::License);
  // Already on the forward button: nothing to move.
  EXPECT_EQ(FocusWhenPageAppears(form, WizardPage::License, &form.Cmd_I_Agree), nullptr);
}

// On a page without a forward button a focus that can still be used stays.
TEST_F(Keyboard, APageWithoutForwardButtonKeepsAUsableFocus) {
  form.UniRefresh.RaiseClick();
  EXPECT_EQ(FocusWhenPageAppears(form, WizardPage::Detecting, &form.Combo_Language), nullptr);
  // Refresh was disabled by its own press: the focus goes to the first control instead.
  EXPECT_EQ(FocusWhenPageAppears(form, WizardPage::Detecting, &form.UniRefresh),
            &form.Combo_Region);
}

}  // namespace
}  // namespace revivix::test
