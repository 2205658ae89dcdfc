// The real fernclip.exe under Wine, each run from a runnable folder of its own: the stored region
// and language come back at start-up, the user's pick of another language reloads the captions
// and the license, and the close writes the pick back into settings.ini; without a stored
// language the system's language is preselected.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "RoadFixture.h"
#include "TestSupport.h"
#include "driver/ComboPick.h"

namespace revivix {
namespace {

using driver::Utf8;
using wintest::FileExists;
using wintest::ReadBytes;

constexpr DWORD kLanguageTimeoutMs = 15000;

// The captions that follow the language, with their keys in the language file.
struct Caption {
  std::string_view control;
  const wchar_t* key;
};
constexpr Caption kCaptions[] = {
    {"UniButton_Help", L"IDS_HELP"},
    {"UniRefresh", L"IDS_REFRESH"},
    {"Cmd_Next", L"IDS_NEXT"},
    {"CmdYes", L"IDS_YES"},
    {"CmdNo", L"IDS_NO"},
    {"Cmd_I_Agree", L"IDS_LICENSE_AGREE_CONTINUE"},
    {"Cmd_I_Disagree", L"IDS_LICENSE_DISAGREE_QUIT"},
    {"cmdExit", L"IDS_EXIT"},
    {"Player_Detected_Frame1", L"IDS_PLAYER_DETECTED"},
};

// The settings file as the wizard writes it: three lines ending in CR LF.
std::string SettingsFile(std::string_view region, std::string_view language) {
  return "[Settings]\r\nRegion=" + std::string(region) + "\r\nLanguage=" + std::string(language) +
         "\r\n";
}

// One run of the wizard from a copy of the runnable folder (the program with its Languages,
// License and FW folders and settings.ini), removed again at the end.
class LanguageWindow : public wintest::RoadFixture {
 protected:
  // Copies the runnable folder and gives the copy this settings file.
  void Prepare(const std::string& settings) {
    ASSERT_NO_FATAL_FAILURE(PrepareFolder(L"revivix-language-"));
    ASSERT_NO_FATAL_FAILURE(WriteSettings(settings));
  }

  std::wstring SettingsPath() const { return folder_ + L"\\settings.ini"; }

  bool ShowsLanguage(const std::wstring& language) const {
    for (const Caption& caption : kCaptions)
      if (driver::TextOf(Control(caption.control)) != LanguageText(language, caption.key))
        return false;
    return driver::TextOf(Control("UnitxtLicense")) == LicenseText(language);
  }

  // Waits until the captions and the license are those of `language`, then checks each one so
  // that a failure names what differs.
  void ExpectLanguageShown(const std::wstring& language) {
    SCOPED_TRACE("language " + Utf8(language));
    // The texts must tell the languages apart: none is empty, and the poll needs them.
    for (const Caption& caption : kCaptions)
      ASSERT_FALSE(LanguageText(language, caption.key).empty())
          << "no " << Utf8(caption.key) << " in the language file";
    ASSERT_FALSE(LicenseText(language).empty()) << "no license file";
    driver::WaitUntil(kLanguageTimeoutMs, [&] { return ShowsLanguage(language); });
    for (const Caption& caption : kCaptions) {
      SCOPED_TRACE(std::string(caption.control));
      HWND control = Control(caption.control);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(driver::TextOf(control), LanguageText(language, caption.key));
    }
    HWND license = Control("UnitxtLicense");
    ASSERT_NE(license, nullptr);
    EXPECT_TRUE(driver::TextOf(license) == LicenseText(language))
        << "the license box does not hold License\\" << Utf8(language) << ".txt";
  }
};

TEST_F(LanguageWindow, RestoresTheStoredLanguageAndSavesTheUsersPick) {
  ASSERT_NO_FATAL_FAILURE(Prepare(SettingsFile("Europe", "German")));
  ASSERT_NO_FATAL_FAILURE(StartWizard());
  HWND region = Control("Combo_Region");
  HWND language = Control("Combo_Language");
  ASSERT_NE(region, nullptr);
  ASSERT_NE(language, nullptr);

  // The start-up restores both lists and applies German.
  ASSERT_NO_FATAL_FAILURE(ExpectLanguageShown(L"German"));
  EXPECT_EQ(driver::ComboSelectedText(region), L"Europe");
  EXPECT_EQ(driver::ComboSelectedText(language), L"German");

  // The user picks French in the language list.
  ASSERT_NE(LanguageText(L"French", L"IDS_HELP"), LanguageText(L"German", L"IDS_HELP"));
  ASSERT_TRUE(driver::PickComboEntry(language, L"French"));
  ASSERT_NO_FATAL_FAILURE(ExpectLanguageShown(L"French"));
  EXPECT_EQ(driver::ComboSelectedText(language), L"French");
  EXPECT_EQ(driver::ComboSelectedText(region), L"Europe");

  // Closing saves the lists' texts over the file's three lines, and leaves no temporary file.
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_EQ(ReadBytes(SettingsPath()), SettingsFile("Europe", "French"));
  EXPECT_FALSE(FileExists(SettingsPath() + L".new"));
}

TEST_F(LanguageWindow, AnLfSettingsFileKeepsItsValuesAndItsBytes) {
  // As an editor outside Windows writes it: LF line ends, a remark, another section.
  const std::string stored =
      "; set up by IT\n[Settings]\nRegion=Rest of the World\nLanguage=Swedish\n[Proxy]\nHost=x=y\n";
  ASSERT_NO_FATAL_FAILURE(Prepare(stored));
  ASSERT_NO_FATAL_FAILURE(StartWizard());
  HWND region = Control("Combo_Region");
  HWND language = Control("Combo_Language");
  ASSERT_NE(language, nullptr);
  ASSERT_NO_FATAL_FAILURE(ExpectLanguageShown(L"Swedish"));
  EXPECT_EQ(driver::ComboSelectedText(region), L"Rest of the World");
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_EQ(ReadBytes(SettingsPath()), stored);

  // A second run restores the same, and the user's pick changes that one value only.
  ASSERT_NO_FATAL_FAILURE(StartWizard());
  language = Control("Combo_Language");
  ASSERT_NO_FATAL_FAILURE(ExpectLanguageShown(L"Swedish"));
  ASSERT_TRUE(driver::PickComboEntry(language, L"French"));
  ASSERT_NO_FATAL_FAILURE(ExpectLanguageShown(L"French"));
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_EQ(
      ReadBytes(SettingsPath()),
      "; set up by IT\n[Settings]\nRegion=Rest of the World\nLanguage=French\n[Proxy]\nHost=x=y\n");
}

// A system language as Wine reports it for a Unix locale, and the entry the wizard preselects.
// Each case runs in its own test run under that locale (LC_ALL of the wine64 command; the
// wizard, as a child process, inherits it).
struct SystemLanguageCase {
  const char* name;
  const char* unixLocale;
  WORD languageId;
  const wchar_t* entry;
};

constexpr SystemLanguageCase kSystemLanguages[] = {
    // The system's English language name is an entry of the list.
    {"Japanese", "ja_JP.UTF-8", 0x0411, L"Japanese"},
    // The name ("Chinese (Simplified)") is not, its language code is in the wizard's table.
    {"ChineseSimplified", "zh_CN.UTF-8", 0x0804, L"Chinese Simplified"},
    // Neither name ("Portuguese") nor code: the wizard falls back to English.
    {"PortuguesePortugal", "pt_PT.UTF-8", 0x0816, L"English"},
};

// Names the case in the test's messages.
void PrintTo(const SystemLanguageCase& c, std::ostream* os) {
  *os << c.name << " (LC_ALL=" << c.unixLocale << ")";
}

class SystemLanguage : public LanguageWindow,
                       public testing::WithParamInterface<SystemLanguageCase> {};

TEST_P(SystemLanguage, IsPreselectedWhenNoLanguageIsStored) {
  const SystemLanguageCase& c = GetParam();
  ASSERT_EQ(GetSystemDefaultLangID(), c.languageId)
      << "this case needs Wine to report the system language 0x" << std::hex << c.languageId
      << ": run the test program with LC_ALL=" << c.unixLocale;
  ASSERT_NO_FATAL_FAILURE(Prepare(SettingsFile("Europe", "Choose Language")));
  ASSERT_NO_FATAL_FAILURE(StartWizard());
  HWND language = Control("Combo_Language");
  ASSERT_NE(language, nullptr);

  ASSERT_NO_FATAL_FAILURE(ExpectLanguageShown(c.entry));
  EXPECT_EQ(driver::ComboSelectedText(language), c.entry);
  EXPECT_EQ(driver::ComboSelectedText(Control("Combo_Region")), L"Europe");

  // The preselected language is what the close stores.
  ASSERT_NO_FATAL_FAILURE(Close());
  EXPECT_EQ(ReadBytes(SettingsPath()), SettingsFile("Europe", Utf8(c.entry)));
}

INSTANTIATE_TEST_SUITE_P(Wine, SystemLanguage, testing::ValuesIn(kSystemLanguages),
                         [](const testing::TestParamInfo<SystemLanguageCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace revivix
