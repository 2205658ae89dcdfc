#include <gtest/gtest.h>

#include "FormFixture.h"
#include "i18n/FileReader.h"

namespace revivix::test {
namespace {

struct Ini : ::testing::Test {
  FakePlatform platform;
  FileReader reader{platform.files, platform.system.AnsiCodePage()};
  std::wstring Path() { return platform.Folder() + L"\\test.ini"; }
  void Write(const std::string& text) { platform.WriteFile("test.ini", text); }
};

TEST_F(Ini, ParsesHeadersRemarksAndKeyLines) {
  Write(
      "; remark\r\n"
      "  [Settings] ; trailing remark\r\n"
      "Region=Europe\r\n"
      "Language = German\r\n"
      "NoEquals\r\n"
      "Two=equal=signs\r\n"
      "\r\n"
      "[Open\r\n"
      "A=1\r\n"
      "[]\r\n"
      "[ Padded ]\r\n");
  reader.LoadIniFile(Path(), L"", L"");
  ASSERT_EQ(reader.SectionCount(), 4);
  const auto& s = reader.IniSections();
  EXPECT_EQ(s[0].Name, L"Settings");
  EXPECT_EQ(s[0].Keys, (std::vector<std::wstring>{L"Region", L"Language "}));
  EXPECT_EQ(s[0].Values, (std::vector<std::wstring>{L"Europe", L" German"}));
  EXPECT_EQ(s[1].Name, L"Open");
  EXPECT_EQ(s[2].Name, L"");
  EXPECT_EQ(s[3].Name, L" Padded ");
  EXPECT_EQ(reader.IniLines().size(), 11u);
  // Blanks around "=" hide the key from its name: the first key of the section is read instead.
  EXPECT_EQ(reader.ReadIniValue(L"settings", L"LANGUAGE"), L"Europe");
  EXPECT_EQ(reader.ReadIniValue(L"Open", L"A"), L"1");
  EXPECT_EQ(reader.ReadIniValue(L"Padded", L"A"), L"Europe");  // not found: the first record
}

TEST_F(Ini, LastMatchWinsAndMissingNamesFallBackToTheFirst) {
  Write("[Settings]\r\nRegion=Europe\r\n[Settings]\r\nRegion=Rest of the World\r\nregion=X\r\n");
  EXPECT_EQ(reader.LoadIniFile(Path(), L"Settings", L"Region"), L"X");
  EXPECT_EQ(reader.SectionIndex(), 1);
  EXPECT_EQ(reader.KeyIndex(), 1);
  EXPECT_EQ(reader.ReadIniValue(L"Nowhere", L"Region"), L"Europe");
  EXPECT_EQ(reader.ReadIniValue(L"Settings", L"Missing"), L"Rest of the World");
}

TEST_F(Ini, LinesEndAtCrLfLfOrCr) {
  Write("[Settings]\rRegion=Europe\r\nMode=1\n\nLanguage=Dutch");
  reader.LoadIniFile(Path(), L"", L"");
  EXPECT_EQ(reader.IniLines(), (std::vector<std::wstring>{L"[Settings]", L"Region=Europe",
                                                          L"Mode=1", L"", L"Language=Dutch"}));
  EXPECT_EQ(reader.ReadIniValue(L"Settings", L"Region"), L"Europe");
  EXPECT_EQ(reader.ReadIniValue(L"Settings", L"Language"), L"Dutch");
}

TEST_F(Ini, FailuresEndTheCall) {
  EXPECT_THROW(reader.LoadIniFile(platform.Folder() + L"\\missing.ini", L"", L""), IniError);
  Write("Region=Europe\r\n[Settings]\r\n");
  EXPECT_THROW(reader.LoadIniFile(Path(), L"", L""), IniError);
}

TEST_F(Ini, WritingReplacesFoundValuesOnlyAndNeverAdds) {
  Write("; kept\r\n[Settings]\r\nRegion=Europe\r\n\r\nLanguage=German\r\n");
  reader.LoadIniFile(Path(), L"", L"");
  reader.WriteIniValue(L"Rest of the World", L"Settings", L"Region");
  reader.WriteIniValue(L"Czech", L"Settings", L"Colour");   // not found: nothing is written
  reader.WriteIniValue(L"Czech", L"Nowhere", L"Language");  // nor in a section that is not there
  reader.SaveIniFile(Path());
  EXPECT_EQ(platform.ReadFile("test.ini"),
            "; kept\r\n[Settings]\r\nRegion=Rest of the World\r\n\r\nLanguage=German\r\n");
  EXPECT_FALSE(platform.Exists("test.ini.new"));
}

TEST_F(Ini, AValueTheEncodingCannotHoldFailsTheSaveAndKeepsTheFile) {
  const std::string original = "[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n";
  for (const std::wstring& value : {std::wstring(L"\u65E5\u672C"), std::wstring(L"Two\r\nLines")}) {
    Write(original);
    reader.LoadIniFile(Path(), L"", L"");
    reader.WriteIniValue(value, L"Settings", L"Language");
    EXPECT_THROW(reader.SaveIniFile(Path()), IniError);
    EXPECT_EQ(platform.ReadFile("test.ini"), original);
  }
}

TEST_F(Ini, ValuesKeepCodePage1252) {
  Write(
      "[Settings]\r\nLanguage=Fran\xE7"
      "ais\r\n");
  EXPECT_EQ(reader.LoadIniFile(Path(), L"Settings", L"Language"), L"Français");
  reader.SaveIniFile(Path());
  EXPECT_EQ(platform.ReadFile("test.ini"),
            "[Settings]\r\nLanguage=Fran\xE7"
            "ais\r\n");
}

// A file system whose writes fail, as on a full disk.
class FullDisk : public StdFileSystem {
 public:
  bool WriteBytes(const std::wstring&, const std::vector<std::uint8_t>&) override { return false; }
};

TEST_F(Ini, AFailedSaveLeavesTheFileAsItWas) {
  const std::string original = "[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n";
  Write(original);
  FullDisk full;
  FileReader onFullDisk{full, platform.system.AnsiCodePage()};
  onFullDisk.LoadIniFile(Path(), L"", L"");
  onFullDisk.WriteIniValue(L"French", L"Settings", L"Language");
  EXPECT_THROW(onFullDisk.SaveIniFile(Path()), IniError);
  EXPECT_EQ(platform.ReadFile("test.ini"), original);
}

}  // namespace
}  // namespace revivix::test
