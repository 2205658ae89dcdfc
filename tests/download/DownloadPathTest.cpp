// The updater lands exactly at UpdaterPath, whatever characters its name or the program's folder
// hold and whatever the system's ANSI code page: look-alikes of "." and "\" stay characters of
// one plain name inside FW.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "DownloadFixture.h"
#include "common/Text.h"
#include "download/FirmwareDownload.h"

namespace revivix::test {
namespace {

namespace fs = std::filesystem;

// Every file below `folder`, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) found.push_back(fs::relative(entry.path(), folder).string());
  return found;
}

struct HostileName {
  const char* name;
  std::uint32_t codePage;
  std::wstring file;  // the name after the address's last "/"
  bool started;       // a program named ".exe" is started
};

class DownloadPath : public DownloadTest, public ::testing::WithParamInterface<HostileName> {};

TEST_P(DownloadPath, TheFileLandsAtUpdaterPathAndNowhereElse) {
  const HostileName& c = GetParam();
  platform.SetAnsiCodePage(c.codePage);
  // A program folder named in Polish, outside the Western code page.
  const std::string folder = platform.folder.Path() +
                             "/\xC5\x81\xC3\xB3"
                             "d\xC5\xBA";
  fs::create_directories(folder + "/FW");
  for (const char* sub : {"Languages"})
    fs::copy(platform.folder.Path() + "/" + sub, folder + "/" + sub);
  platform.system.programFolder = FromUtf8(folder);
  form.LanguageFilePath = FromUtf8(folder) + L"\\Languages\\English.txt";

  ASSERT_EQ(UpdaterFileName(L"http://site/fw/" + c.file), c.file) << c.name;
  form.UpdaterUrl = L"http://site/fw/" + c.file;
  platform.download.transfers[form.UpdaterUrl] = FakeTransfer::Of(ProgramBytes(), 1);
  StartFirmwareDownload(form);

  ASSERT_EQ(platform.download.requests.size(), 1u) << c.name;
  EXPECT_EQ(platform.download.requests[0].file, FromUtf8(folder) + L"\\fw\\" + c.file) << c.name;
  EXPECT_EQ(form.UpdaterPath, FromUtf8(folder) + L"\\fw\\" + c.file) << c.name;
  // Nothing anywhere but the one file inside FW, and that only while it is the started program.
  std::vector<std::string> expected = {"Languages/English.txt"};
  if (c.started) expected.push_back("FW/" + ToUtf8(c.file));
  std::vector<std::string> found = FilesBelow(folder);
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected) << c.name;
  EXPECT_EQ(FilesBelow(platform.folder.Path() + "/FW"), std::vector<std::string>{}) << c.name;
  EXPECT_EQ(platform.shell.calls.size(), c.started ? 1u : 0u) << c.name;
  EXPECT_EQ(platform.loop.IsArmed(form.Timer6), !c.started) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, DownloadPath,
    ::testing::Values(HostileName{"FullWidthPoint1252", 1252, L"evil\uFF0Eexe", false},
                      HostileName{"FullWidthBackslash1252", 1252, L"fw\uFF3Cevil.exe", true},
                      HostileName{"YenSigns932", 932, L"fw\u00A5evil.exe", true},
                      HostileName{"FullWidthBackslash932", 932, L"\uFF0E\uFF0E\uFF3Cevil.exe",
                                  true},
                      HostileName{"CyrillicName1251", 1251,
                                  L"\u041F\u0440\u043E\u0448\u0438\u0432\u043A\u0430.exe", true},
                      HostileName{"PlainName", 1252, L"FC200_Updater.exe", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace revivix::test
