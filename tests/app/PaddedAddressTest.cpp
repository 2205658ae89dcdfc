// Web addresses as the database gives them: the blanks around a value do not keep Yes or Help
// from opening the page.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "DatabaseFixture.h"
#include "NavigationFixture.h"
#include "app/UpdateNotice.h"
#include "detection/PlayerDatabase.h"

namespace revivix::test {
namespace {

TEST_F(NavigationTest, YesOnTheNoticeOpensAPaddedValue13) {
  Record newer;
  newer.version = L"99.0";
  newer.updateUrl = L"   http://www.zanterix.com/revivix/get.htm  ";
  platform.html.pages[DatabaseAddress(form)] = FakePage{Page({RecordLine(newer)}), L"", 0};
  LoadPlayerDatabase(form);
  ASSERT_TRUE(form.UpdateAvailable);
  EXPECT_EQ(form.UpdateUrl, newer.updateUrl);  // kept as the database gives it
  ShowUpdateNotice(form);
  form.CmdYes.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  EXPECT_EQ(platform.shell.calls[0].file, L"http://www.zanterix.com/revivix/get.htm");
  EXPECT_TRUE(form.Unloaded());
}

// Only an empty value 13 keeps Yes from ending the wizard; one of blanks only opens nothing.
struct YesOnTheNotice : NavigationTest, ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(YesOnTheNotice, EndsTheWizardUnlessValue13IsEmptyAndOpensNoBlankAddress) {
  form.UpdateAvailable = true;
  form.UpdateUrl = GetParam();
  ShowUpdateNotice(form);
  form.CmdYes.RaiseClick();
  EXPECT_TRUE(platform.shell.calls.empty());
  EXPECT_EQ(form.Unloaded(), !form.UpdateUrl.empty());
}

INSTANTIATE_TEST_SUITE_P(Value13, YesOnTheNotice, ::testing::Values(L"", L" ", L"    "),
                         [](const auto& info) {
                           return std::wcslen(info.param) == 0
                                      ? std::string("Empty")
                                      : std::to_string(std::wcslen(info.param)) + "Blanks";
                         });

TEST_F(NavigationTest, HelpAndTheQuestionsYesOpenAPaddedSupportPage) {
  const std::wstring padded = L"  http://www.zanterix.com/support/fc200   ";
  form.SupportUrl = padded;
  form.UniButton_Help.RaiseClick();
  // The knowledge-base question after three serial numbers.
  OpenSerialPage();
  for (const wchar_t* serial : {L"0000", L"1111", L"2222"}) EnterSerial(serial);
  ASSERT_TRUE(form.CmdYes.Visible());
  form.SupportUrl = padded;
  form.CmdYes.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 2u);
  for (const auto& call : platform.shell.calls)
    EXPECT_EQ(call.file, L"http://www.zanterix.com/support/fc200");
}

}  // namespace
}  // namespace revivix::test
