#include <gtest/gtest.h>

#include "common/Text.h"

namespace revivix {
namespace {

TEST(Text, TrimRemovesBlanksOnly) {
  EXPECT_EQ(Trim(L"  Europe  "), L"Europe");
  EXPECT_EQ(Trim(L"\tEurope\t"), L"\tEurope\t");
  EXPECT_EQ(Trim(L" a b "), L"a b");
  EXPECT_EQ(Trim(L"   "), L"");
  EXPECT_EQ(Trim(L""), L"");
}

TEST(Text, UpperCaseCoversTheLanguagesOfTheLists) {
  EXPECT_EQ(UCase(L"Choose Language"), L"CHOOSE LANGUAGE");
  EXPECT_EQ(UCase(L"français"), L"FRANÇAIS");
  EXPECT_EQ(UCase(L"łódź"), L"ŁÓDŹ");
  EXPECT_EQ(UCase(L"русский"), L"РУССКИЙ");
  EXPECT_EQ(UCase(L"日本語 mp3"), L"日本語 MP3");
}

TEST(Text, ContainsAndEqualsIgnoreCase) {
  EXPECT_TRUE(ContainsNoCase(L"C:\\x\\FernClip.EXE", L"fernclip.exe"));
  EXPECT_TRUE(ContainsNoCase(L"oldfernclip.exe", L"FERNCLIP.EXE"));
  EXPECT_FALSE(ContainsNoCase(L"fernclip.ex", L"fernclip.exe"));
  EXPECT_TRUE(EqualsNoCase(L"Settings", L"SETTINGS"));
  EXPECT_FALSE(EqualsNoCase(L"Settings ", L"SETTINGS"));
}

TEST(Text, SplitKeepsEmptyPieces) {
  using V = std::vector<std::wstring>;
  EXPECT_EQ(Split(L"a,b,,c", L","), (V{L"a", L"b", L"", L"c"}));
  EXPECT_EQ(Split(L"line1\r\nline2\r\n", L"\r\n"), (V{L"line1", L"line2", L""}));
  EXPECT_EQ(Split(L"plain", L","), (V{L"plain"}));
  EXPECT_EQ(Split(L"", L","), V{});
}

TEST(Text, LeadingNumberRule) {
  const struct {
    const wchar_t* text;
    double value;
  } cases[] = {
      {L"1", 1},       {L"2", 2},        {L"", 0},       {L"abc", 0},
      {L"10.5", 10.5}, {L"1.2.3", 1.2},  {L" 1 1 ", 11}, {L"\t1\n2", 12},
      {L"11abc", 11},  {L"9.0.3790", 9}, {L".5", 0.5},   {L"5.", 5},
      {L"-3", 0},      {L"1\r2", 1},     {L"0x10", 0},   {L"007", 7},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NumericValue(c.text), c.value) << ToUtf8(c.text);
}

TEST(Text, DecodesTheTwoFileEncodings) {
  const std::uint8_t utf16[] = {0x1F, 0x04, 0x40, 0x04, 0x38, 0x04, 0x3D, 0xD8, 0x00, 0xDE};
  const std::wstring decoded = DecodeUtf16Le(utf16, sizeof utf16);
  EXPECT_EQ(ToUtf8(decoded), "При\xF0\x9F\x98\x80");
  const std::uint8_t ansi[] = {'c', 0xE9, 0x80, 0x81};
  EXPECT_EQ(DecodeAnsi1252(ansi, sizeof ansi), std::wstring(L"cé€\x81"));
  EXPECT_EQ(EncodeAnsi1252(L"cé€"), "c\xE9\x80");
  EXPECT_EQ(FromUtf8(ToUtf8(L"Dänisch 日本")), L"Dänisch 日本");
}

}  // namespace
}  // namespace revivix
