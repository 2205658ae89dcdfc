// Characters beyond the Basic Multilingual Plane (emoji, CJK Extension B) are one wchar_t in the
// native build and a surrogate pair of two in the Windows build of this suite. Every rule below
// must give the same characters on both widths: a pair is never split, joined wrongly or counted
// as two characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormFixture.h"
#include "LanguageKeys.h"
#include "app/processt.h"
#include "automation/BasWinHandler.h"
#include "common/Text.h"
#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"
#include "i18n/Lists.h"
#include "i18n/MProfileString.h"

namespace revivix::test {
namespace {

const std::wstring kFace = L"\U0001F600";     // GRINNING FACE
const std::wstring kExtB = L"\U00020000";     // the first CJK Extension B ideograph
const std::wstring kDeseret = L"\U00010428";  // a small letter beyond the BMP, left as it is

// True when the text holds no surrogate that is not part of a pair (on either width).
bool WholeCharacters(const std::wstring& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto u = static_cast<std::uint32_t>(text[i]);
    if (u >= 0xDC00 && u <= 0xDFFF) return false;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 == text.size()) return false;
      const auto low = static_cast<std::uint32_t>(text[i + 1]);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

TEST(WideText, TheTextRulesKeepPairsWhole) {
  EXPECT_EQ(UCase(L"zanterix " + kFace + L" fc" + kExtB + L"é"),
            L"ZANTERIX " + kFace + L" FC" + kExtB + L"É");
  EXPECT_EQ(UCase(kDeseret + L"a"), kDeseret + L"A");
  EXPECT_TRUE(ContainsNoCase(L"player " + kFace + L" fc200", kFace + L" FC"));
  EXPECT_FALSE(ContainsNoCase(kFace, kExtB));
  EXPECT_TRUE(EqualsNoCase(kExtB + L"abc", kExtB + L"ABC"));
  EXPECT_EQ(Trim(L"  " + kFace + L"  "), kFace);
  EXPECT_EQ(Split(L"a" + kFace + L"b" + kFace + L"c", kFace),
            (std::vector<std::wstring>{L"a", L"b", L"c"}));
  EXPECT_EQ(NumericValue(L"12" + kFace), 12);
}

TEST(WideText, ConversionsCarryPairsBothWays) {
  const std::string utf8 = "\xF0\x9F\x98\x80\xF0\xA0\x80\x80";
  EXPECT_EQ(ToUtf8(kFace + kExtB), utf8);
  EXPECT_EQ(FromUtf8(utf8), kFace + kExtB);
  const std::uint8_t utf16[] = {0x3D, 0xD8, 0x00, 0xDE, 0x40, 0xD8, 0x00, 0xDC};
  EXPECT_EQ(DecodeUtf16Le(utf16, sizeof utf16), kFace + kExtB);
  // A character that code page 1252 lacks becomes one question mark, however wide its form.
  EXPECT_EQ(EncodeAnsi1252(L"a" + kFace + L"b" + kExtB), "a?b?");
  EXPECT_EQ(EncodeAnsi1252(L"caf\u00E9 \u20AC"), "caf\xE9 \x80");
}

TEST(WideText, TheRendererWritesPairsForReferencesAndKeepsLiteralOnes) {
  EXPECT_EQ(RenderInnerText(L"<b>&#x1F600;&#128512;" + kExtB + L"</b>"), kFace + kFace + kExtB);
  // Halves of a pair given as two references are no characters: each becomes U+FFFD and the two
  // never join into the character they would spell.
  EXPECT_EQ(RenderInnerText(L"<b>&#xD83D;&#xDE00;</b>"), L"\uFFFD\uFFFD");
  EXPECT_EQ(RenderInnerText(L"<p>" + kFace + L"   " + kExtB + L"</p>"), kFace + L" " + kExtB);
  EXPECT_EQ(DecodeHtmlBytes("<b>\xF0\x9F\x98\x80</b>", "text/html; charset=utf-8"),
            L"<b>" + kFace + L"</b>");
}

struct WidePlatform : FormTest {};

TEST_F(WidePlatform, TheProfileReaderReadsPairsAndCutsAtWholeCharactersOnly) {
  const std::wstring value = kFace + L"x" + kExtB + L"y";
  platform.WriteUtf16File("wide.ini", L"[Strings]\r\nIDS_WIDE=" + value + L"\r\n");
  const std::wstring path = platform.Folder() + L"\\wide.ini";
  EXPECT_EQ(GetIniString(platform.program, L"Strings", L"IDS_WIDE", L"", 64, path), value);
  // Every smaller buffer gives the start of the value: never a lone half of a pair.
  for (int size = 1; size < 8; ++size) {
    const std::wstring cut =
        GetIniString(platform.program, L"Strings", L"IDS_WIDE", L"", size, path);
    EXPECT_LT(cut.size(), static_cast<std::size_t>(size)) << size;
    EXPECT_EQ(value.compare(0, cut.size(), cut), 0) << size;
    EXPECT_TRUE(WholeCharacters(cut)) << size;
  }
}

TEST_F(WidePlatform, LanguageAndLicenseFilesWithPairsReachTheWindow) {
  std::wstring text = L"[Strings]\r\n";
  for (const wchar_t* key : kLanguageKeys) text += std::wstring(key) + L"=" + kExtB + key + L"\r\n";
  platform.WriteUtf16File("Languages/Japanese.txt", text);
  platform.WriteUtf16File("License/English.txt", L"License in English");
  platform.WriteUtf16File("License/Japanese.txt", L"License " + kFace + kExtB);
  FillLanguageAndRegionLists(form);
  form.Combo_Language.SetText(L"Japanese");
  platform.loop.Advance(20);
  EXPECT_EQ(form.cmdExit.Caption(), kExtB + L"IDS_EXIT");
  EXPECT_EQ(form.Cmd_Next.Caption(), kExtB + L"IDS_NEXT");
  EXPECT_EQ(form.UnitxtLicense.Text(), L"\xFEFFLicense " + kFace + kExtB);
}

// The process table keeps 260 units of a name: where the cut would fall inside a pair, the whole
// character goes, so the name stays text that converts and compares.
TEST(WideText, TheProcessNameCutNeverSplitsAPair) {
  FakeProcesses processes;
  for (std::size_t before : {258u, 259u, 260u}) {
    const std::wstring name = std::wstring(before, L'a') + kFace + L"fernclip.exe";
    processes.running = {{name, 7}};
    const auto table = ReadProcessTable(processes);
    ASSERT_EQ(table.size(), 1u);
    const std::wstring& kept = table[0].exeFile;
    EXPECT_LE(kept.size(), 260u) << before;
    EXPECT_GE(kept.size(), 259u) << before;
    EXPECT_EQ(name.compare(0, kept.size(), kept), 0) << before;
    EXPECT_TRUE(WholeCharacters(kept)) << before;
    EXPECT_EQ(FromUtf8(ToUtf8(kept)), kept) << before;
  }
}

// An updater titled with a character beyond the BMP near the end of the 260-byte title buffer:
// the ANSI title has one question mark for it, so the window is found by the same title on
// both widths, and the cut at the buffer falls after the same character.
TEST(WideText, AnUpdaterTitleWithAPairAtTheBufferEndIsFound) {
  for (std::size_t before : {256u, 257u, 258u}) {
    FakePlatform platform;
    const std::wstring title = std::wstring(before, L'A') + kFace + L"BCD";
    const WindowHandle window = platform.desktop.AddWindow(title);
    UpdaterWindows& w = platform.program.updaterWindows;
    // The title as the ANSI buffer of 260 bytes holds it: 259 characters and the NUL.
    w.SearchTitle = (std::wstring(before, L'A') + L"?BCD").substr(0, 259);
    FindTopWindow(platform.program);
    EXPECT_EQ(w.FoundWindow, window) << before;
  }
}

}  // namespace
}  // namespace revivix::test
