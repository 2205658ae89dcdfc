// The profile-string contract: the system's GetPrivateProfileStringW and the program's portable
// reader give the same text and count for the language files' cases, and the Unicode layer of
// the older Windows family fails quietly where it is absent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Program.h"
#include "i18n/MProfileString.h"
#include "i18n/MWin32.h"
#include "i18n/ProfileReader.h"
#include "platform/win32/Win32ConnectionCheck.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32DeviceInventory.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32HtmlEngine.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32ProfileStrings.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32UrlDownload.h"

namespace revivix::win32 {
namespace {

struct Read {
  std::wstring text;
  std::uint32_t count;
};

Read ReadWith(ProfileStrings& library, const std::wstring& file, const std::wstring& section,
              const std::wstring& key, const std::wstring& fallback, std::uint32_t size) {
  std::vector<wchar_t> buffer(size + 1, L'#');
  const std::uint32_t count =
      library.GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, file);
  return {std::wstring(buffer.data()), count};
}

std::wstring Digits(std::size_t length) {
  std::wstring text;
  for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<wchar_t>(L'0' + i % 10));
  return text;
}

// The value of long.ini cut to 1023 characters: the alphabet over and over.
std::wstring LongLetters() {
  std::wstring text;
  for (std::size_t i = 0; i < 1023; ++i) text.push_back(static_cast<wchar_t>(L'a' + i % 26));
  return text;
}

struct Case {
  const char* what;
  const wchar_t* file;
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* fallback;
  std::uint32_t size;
  std::wstring expected;
};

class ProfileContract : public testing::TestWithParam<Case> {};

TEST_P(ProfileContract, SystemAndPortableReaderGiveTheExpectedText) {
  const Case& c = GetParam();
  const std::wstring file = wintest::FixturePath(c.file);
  Kernel32ProfileStrings kernel32;
  StdFileSystem files;
  PortableProfileStrings portable(files);

  const Read system = ReadWith(kernel32, file, c.section, c.key, c.fallback, c.size);
  const Read own = ReadWith(portable, file, c.section, c.key, c.fallback, c.size);

  EXPECT_EQ(system.text, c.expected) << c.what << " (system)";
  EXPECT_EQ(system.count, c.expected.size()) << c.what << " (system)";
  EXPECT_EQ(own.text, system.text) << c.what << " (portable reader)";
  EXPECT_EQ(own.count, system.count) << c.what << " (portable reader)";
}

INSTANTIATE_TEST_SUITE_P(
    LanguageFileCases, ProfileContract,
    testing::Values(Case{"cp1252 accents", L"profile\\contract-cp1252.ini", L"Strings", L"IDS_CAFE",
                         L"", 1024, L"Café crème brûlée"},
                    Case{"key and section in other letter case, cp1252 dash",
                         L"profile\\contract-cp1252.ini", L"STRINGS", L"IDS_LOWER_KEY", L"", 1024,
                         L"Größe ändern – naïve"},
                    Case{"quoted value with blanks around it", L"profile\\contract-cp1252.ini",
                         L"Strings", L"ids_quit", L"", 1024, L"Quit"},
                    Case{"blanks inside the quotes stay", L"profile\\contract-cp1252.ini",
                         L"Strings", L"IDS_PADDED", L"", 1024, L"  Quit  "},
                    Case{"2000 characters cut to size - 1", L"profile\\contract-cp1252.ini",
                         L"Strings", L"IDS_LONG", L"", 1024, Digits(1023)},
                    Case{"2000 characters in a large buffer", L"profile\\contract-cp1252.ini",
                         L"Strings", L"IDS_LONG", L"", 4096, Digits(2000)},
                    Case{"the first section of that name only", L"profile\\contract-cp1252.ini",
                         L"Other", L"IDS_CAFE", L"", 1024, L"Other section"},
                    Case{"missing key gives the default", L"profile\\contract-cp1252.ini",
                         L"Strings", L"IDS_NONE", L"dflt", 1024, L"dflt"},
                    Case{"missing section gives the default", L"profile\\contract-cp1252.ini",
                         L"Nowhere", L"IDS_CAFE", L"", 1024, L""},
                    Case{"missing file gives the default", L"profile\\no-such-file.ini", L"Strings",
                         L"IDS_CAFE", L"fallback", 1024, L"fallback"},
                    Case{"UTF-16 Russian, key in other case", L"profile\\contract-utf16.ini",
                         L"Strings", L"IDS_EXIT", L"", 1024, L"Выход"},
                    Case{"UTF-16 Japanese, section in other case", L"profile\\contract-utf16.ini",
                         L"STRINGS", L"ids_finish", L"", 1024, L"終了しました"},
                    Case{"UTF-16 blanks around the value", L"profile\\contract-utf16.ini",
                         L"Strings", L"IDS_MIXED", L"", 1024, L"Сохранить 設定"}));

// The fixture files of the native lookup tests, read by the system's own functions.
INSTANTIATE_TEST_SUITE_P(NativeFixtures, ProfileContract,
                         testing::Values(Case{"blanks and double quotes", L"profile\\ansi.ini",
                                              L"Strings", L"IDS_EXIT", L"", 1024, L"Quit"},
                                         Case{"key in lower case", L"profile\\ansi.ini", L"strings",
                                              L"IDS_NEXT", L"", 1024, L"Weiter"},
                                         Case{"code page 1252", L"profile\\ansi.ini", L"Strings",
                                              L"IDS_HELP", L"", 1024, L"Café crème €"},
                                         Case{"single quotes", L"profile\\ansi.ini", L"Strings",
                                              L"IDS_QUOTED", L"", 1024, L"single"},
                                         Case{"an opening quote alone stays", L"profile\\ansi.ini",
                                              L"Strings", L"IDS_HALFQUOTED", L"", 1024, L"\"open"},
                                         Case{"the value follows the first equals sign",
                                              L"profile\\ansi.ini", L"Strings", L"IDS_EQUALS", L"",
                                              1024, L"a=b"},
                                         Case{"an empty value", L"profile\\ansi.ini", L"Strings",
                                              L"IDS_EMPTY", L"x", 1024, L""},
                                         Case{"Russian", L"profile\\utf16.ini", L"Strings",
                                              L"IDS_RU", L"", 1024, L"Русский текст"},
                                         Case{"Japanese", L"profile\\utf16.ini", L"Strings",
                                              L"IDS_JA", L"", 1024, L"日本語のテキスト"},
                                         Case{"2000 letters cut to 1023", L"profile\\long.ini",
                                              L"Strings", L"IDS_LONG", L"", 1024, LongLetters()}));

// A value written by one implementation is read back alike by both.
TEST(ProfileWrite, WrittenValuesReadBackAlike) {
  wchar_t folder[MAX_PATH];
  ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring file =
      std::wstring(folder) + L"revivix-profile-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
  DeleteFileW(file.c_str());
  Kernel32ProfileStrings kernel32;
  StdFileSystem files;
  PortableProfileStrings portable(files);

  ASSERT_NE(kernel32.WritePrivateProfileStringW(L"Settings", L"Region", L"EUROPE", file), 0);
  ASSERT_NE(portable.WritePrivateProfileStringW(L"Settings", L"Language", L"Français", file), 0);
  for (ProfileStrings* reader : std::vector<ProfileStrings*>{&kernel32, &portable}) {
    EXPECT_EQ(ReadWith(*reader, file, L"settings", L"REGION", L"", 64).text, L"EUROPE");
    EXPECT_EQ(ReadWith(*reader, file, L"Settings", L"Language", L"", 64).text, L"Français");
  }
  DeleteFileW(file.c_str());
}

// Where the library or its functions are missing, a read gives "" and 0 and a write 0.
TEST(UnicowsProfileStrings, FailsQuietlyWithoutTheLibraryOrItsFunctions) {
  const std::wstring file = wintest::FixturePath(L"profile\\contract-cp1252.ini");
  // A library that does not exist, and one that exists without the two functions.
  for (const wchar_t* library : {L"revivix-no-such-library.dll", L"user32.dll"}) {
    UnicowsProfileStrings unicows(library);
    const Read read = ReadWith(unicows, file, L"Strings", L"IDS_CAFE", L"dflt", 64);
    EXPECT_EQ(read.count, 0u) << library;
    EXPECT_EQ(read.text, L"") << library;
    EXPECT_EQ(unicows.WritePrivateProfileStringW(L"S", L"K", L"V", file), 0) << library;
    EXPECT_FALSE(unicows.Loaded()) << library;
  }
}

// Wine carries its own unicows.dll, which forwards to kernel32: the layer is loaded on first use
// and reads like the system.
TEST(UnicowsProfileStrings, ForwardsToTheLayersFunctionsWhereTheLayerExists) {
  UnicowsProfileStrings layer;
  EXPECT_FALSE(layer.Loaded()) << "nothing is loaded before the first use";
  const Read read = ReadWith(layer, wintest::FixturePath(L"profile\\contract-cp1252.ini"),
                             L"Strings", L"IDS_CAFE", L"", 64);
  EXPECT_TRUE(layer.Loaded());
  EXPECT_EQ(read.text, L"Café crème brûlée");
  EXPECT_EQ(read.count, read.text.size());
}

TEST(GetWinAPI, PicksTheKernel32FunctionsOnTheNtFamily) {
  Win32Platform platform(L"Local\\RevivixProfileTest." + std::to_wstring(GetCurrentProcessId()));
  Program program(platform.AsPorts());

  EXPECT_EQ(platform.system.Version().platformId, 2u);
  EXPECT_TRUE(IsWindowsNT(platform.system));
  IWinAPI& api = GetWinAPI(program);
  EXPECT_NE(dynamic_cast<CWinAPIUnicode*>(&api), nullptr);
  EXPECT_EQ(&GetWinAPI(program), &api) << "the choice is kept for the run";
  EXPECT_EQ(GetIniString(program, L"Strings", L"IDS_EXIT", L"", 1024,
                         wintest::FixturePath(L"profile\\contract-utf16.ini")),
            L"Выход");
  EXPECT_FALSE(platform.unicows.Loaded()) << "the layer is not loaded on the NT family";
}

}  // namespace
}  // namespace revivix::win32
