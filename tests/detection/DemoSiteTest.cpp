#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "DatabaseFixture.h"
#include "common/Text.h"
#include "detection/DeviceMatching.h"
#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"
#include "detection/PlayerDatabase.h"

namespace revivix::test {
namespace {

// The demo database page's text as the wizard's HTML engine renders it, with @SITE@ filled in
// as the local site does, split into its lines.
std::wstring DemoPageText() {
  std::ifstream in(
      std::string(REVIVIX_SOURCE) + "/tools/site/demo/revivix/database/Fernclip_database.htm",
      std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  const std::string bytes =
      std::regex_replace(s.str(), std::regex("@SITE@"), "http://127.0.0.1:8080/demo");
  return RenderInnerText(DecodeHtmlBytes(bytes, "text/html"));
}

std::vector<std::wstring> DemoLines() {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : DatabasePageLines(DemoPageText()))
    if (!RecordValues(line).empty()) lines.push_back(line);
  return lines;
}

using DemoSite = DetectionTest;

// What the other parts of the wizard rely on in the demo database.
TEST_F(DemoSite, HoldsTheAgreedModels) {
  const std::wstring text = DemoPageText();
  EXPECT_TRUE(DatabasePageIsValid(text));
  EXPECT_EQ(text.find(L"player database"), std::wstring::npos) << "the head stays hidden";
  const std::vector<std::wstring> lines = DemoLines();
  ASSERT_EQ(lines.size(), 4u);
  int serialModels = 0, notSelectable = 0;
  std::vector<std::wstring> titles;
  for (const std::wstring& line : lines) {
    const std::vector<std::wstring> v = RecordValues(line);
    ASSERT_EQ(v.size(), 14u) << ToUtf8(line);
    EXPECT_EQ(NumericValue(Trim(v[12])), NumericValue(kProgramVersion)) << "no update notice";
    EXPECT_EQ(v[7].rfind(L"http://127.0.0.1:8080/demo/revivix/fw/eu/", 0), 0u);
    EXPECT_EQ(v[8].rfind(L"http://127.0.0.1:8080/demo/revivix/fw/world/", 0), 0u);
    (UCase(Trim(v[5])) == L"N/A" ? notSelectable : serialModels)++;
    titles.push_back(Trim(v[10]));
  }
  EXPECT_GE(serialModels, 1);
  EXPECT_GE(notSelectable, 1);
  EXPECT_NE(std::find(titles.begin(), titles.end(), L"Fernclip 200 Firmware Updater"),
            titles.end());
  EXPECT_NE(std::find(titles.begin(), titles.end(), L"Fernclip 300 Firmware UPGRADE"),
            titles.end());
}

// The simulated players of the demo and the Wine tests are identified by their device names.
TEST_F(DemoSite, SimulatedPlayersAreIdentified) {
  ServeDatabase(DemoPageText());
  Connect(L"USB\\VID_2A5F&PID_4157\\E2EFC200A", L"Zanterix Fernclip 200 USB Device");
  EXPECT_EQ(FindConnectedPlayers(form), 1);
  EXPECT_EQ(form.UpdaterTitle, L"FERNCLIP 200 FIRMWARE UPDATER");
  EXPECT_EQ(form.FirmwareLinkTail, L"fc200.htm");
  platform.devices.devices = {
      {L"USB\\VID_2A5F&PID_4157\\E2EFC300B", L"Zanterix Fernclip 300 USB Device"}};
  EXPECT_EQ(FindConnectedPlayers(form), 1);
  EXPECT_EQ(form.UpdaterTitle, L"FERNCLIP 300 FIRMWARE UPGRADE");
  EXPECT_EQ(form.PlayerMode, L"MTP");
}

}  // namespace
}  // namespace revivix::test
