#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"

namespace revivix::test {
namespace {

TEST(Wildcards, MatchLikeWindowsFileNames) {
  EXPECT_TRUE(WildcardMatch(L"*.exe", L"Updater.EXE"));
  EXPECT_TRUE(WildcardMatch(L"*.exe", L".exe"));
  EXPECT_FALSE(WildcardMatch(L"*.exe", L"updater.exe.txt"));
  EXPECT_TRUE(WildcardMatch(L"up?ater*", L"updater.exe"));
  EXPECT_FALSE(WildcardMatch(L"up?ater", L"upater"));
}

TEST(StdFiles, WindowsPathsWorkInAnyLetterCase) {
  FakePlatform p;
  p.WriteFile("Languages/German.txt", "x");
  EXPECT_TRUE(p.files.FileExists(p.Folder() + L"\\languages\\GERMAN.TXT"));
  EXPECT_FALSE(p.files.FileExists(p.Folder() + L"\\Languages"));  // a folder is not a file
  EXPECT_FALSE(p.files.FileExists(L""));
  const std::wstring target = p.Folder() + L"\\settings.ini";
  ASSERT_TRUE(p.files.WriteBytes(target, {'a', 'b'}));
  EXPECT_EQ(p.files.ReadBytes(target), (std::vector<std::uint8_t>{'a', 'b'}));
  EXPECT_FALSE(p.files.ReadBytes(p.Folder() + L"\\nothing.ini").has_value());
  EXPECT_EQ(p.files.DeleteFiles(p.Folder() + L"\\SETTINGS.INI"), 1);
  EXPECT_FALSE(p.Exists("settings.ini"));
  EXPECT_EQ(p.files.DeleteFiles(p.Folder() + L"\\nothing\\*.exe"), 0);
}

}  // namespace
}  // namespace revivix::test
