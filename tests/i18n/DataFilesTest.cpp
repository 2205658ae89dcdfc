#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "LanguageKeys.h"
#include "common/Text.h"
#include "fakes/FakePlatform.h"
#include "i18n/ProfileReader.h"

namespace revivix::test {
namespace {

const char* const kLanguages[] = {"English",
                                  "Brazilian Portuguese",
                                  "French",
                                  "Italian",
                                  "German",
                                  "Spanish",
                                  "Dutch",
                                  "Finnish",
                                  "Danish",
                                  "Swedish",
                                  "Norwegian",
                                  "Chinese Traditional",
                                  "Chinese Simplified",
                                  "Japanese",
                                  "Russian",
                                  "Polish",
                                  "Czech"};

std::vector<std::uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ShippedData, EveryLanguageFileHasAllTextsInUtf16) {
  StdFileSystem files;
  PortableProfileStrings profile(files);
  for (const char* language : kLanguages) {
    const std::string path = std::string(REVIVIX_DATA) + "/Languages/" + language + ".txt";
    const auto bytes = Bytes(path);
    ASSERT_GE(bytes.size(), 2u) << path;
    EXPECT_TRUE(bytes[0] == 0xFF && bytes[1] == 0xFE) << path << " has no UTF-16LE mark";
    for (const wchar_t* key : kLanguageKeys) {
      wchar_t buffer[1024];
      const auto n =
          profile.GetPrivateProfileStringW(L"Strings", key, L"", buffer, 1024, FromUtf8(path));
      EXPECT_GT(n, 0u) << language << " " << ToUtf8(key);
    }
  }
}

TEST(ShippedData, EveryLicenseFileIsUtf16Text) {
  for (const char* language : kLanguages) {
    const std::string path = std::string(REVIVIX_DATA) + "/License/" + language + ".txt";
    const auto bytes = Bytes(path);
    ASSERT_GT(bytes.size(), 200u) << path;
    EXPECT_TRUE(bytes[0] == 0xFF && bytes[1] == 0xFE) << path;
    EXPECT_EQ(bytes.size() % 2, 0u) << path;
    const std::wstring text = DecodeUtf16Le(bytes.data() + 2, bytes.size() - 2);
    EXPECT_EQ(text.find(L'\0'), std::wstring::npos) << path;
    EXPECT_NE(text.find(L"Revivix"), std::wstring::npos) << path;
  }
}

TEST(ShippedData, SettingsFileHoldsTheTwoKeys) {
  const auto bytes = Bytes(std::string(REVIVIX_DATA) + "/settings.ini");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "[Settings]\r\nRegion=Choose Region\r\nLanguage=Choose Language\r\n");
}

}  // namespace
}  // namespace revivix::test
