// The real SystemInfo port against kernel32 itself: the system language id and the locale
// queries with the platform's buffer rules, and CLocaleInfo's texts in both character modes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32SystemInfo.h"

#include "i18n/CLocaleInfo.h"

namespace revivix {
namespace {

// The locale information the wizard asks for.
constexpr std::uint32_t kInfoTypes[] = {LOCALE_ILANGUAGE, LOCALE_SENGLANGUAGE};

// The system's own locale and a few others, so the answers are not all one locale's.
std::vector<std::uint32_t> Locales() {
  return {GetSystemDefaultLangID(), 0x0407, 0x0411, 0x0804, 0x0816};
}

std::wstring DirectW(std::uint32_t lcid, std::uint32_t type) {
  const int n = ::GetLocaleInfoW(lcid, type, nullptr, 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  const int m = ::GetLocaleInfoW(lcid, type, text.data(), n);
  text.resize(static_cast<std::size_t>(m > 0 ? m - 1 : 0));
  return text;
}

std::string DirectA(std::uint32_t lcid, std::uint32_t type) {
  const int n = ::GetLocaleInfoA(lcid, type, nullptr, 0);
  if (n <= 0) return {};
  std::string text(static_cast<std::size_t>(n), '\0');
  const int m = ::GetLocaleInfoA(lcid, type, text.data(), n);
  text.resize(static_cast<std::size_t>(m > 0 ? m - 1 : 0));
  return text;
}

std::wstring Widen(const std::string& ansi) {
  std::wstring wide;
  for (char c : ansi) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return wide;
}

TEST(Win32SystemInfo, ReportsTheSystemDefaultLanguage) {
  win32::Win32SystemInfo system;
  EXPECT_EQ(system.SystemDefaultLangID(), GetSystemDefaultLangID());
  EXPECT_NE(system.SystemDefaultLangID(), 0);
}

TEST(Win32SystemInfo, LocaleQueriesFollowThePlatformsBufferRules) {
  win32::Win32SystemInfo system;
  for (std::uint32_t lcid : Locales()) {
    for (std::uint32_t type : kInfoTypes) {
      SCOPED_TRACE(testing::Message() << std::hex << "locale 0x" << lcid << " type 0x" << type);
      const std::wstring wide = DirectW(lcid, type);
      const std::string ansi = DirectA(lcid, type);
      ASSERT_FALSE(wide.empty()) << "kernel32 has no such information";
      ASSERT_FALSE(ansi.empty());

      // Size 0 asks for the size, terminator included.
      const int needW = system.GetLocaleInfoW(lcid, type, nullptr, 0);
      EXPECT_EQ(needW, static_cast<int>(wide.size()) + 1);
      const int needA = system.GetLocaleInfoA(lcid, type, nullptr, 0);
      EXPECT_EQ(needA, static_cast<int>(ansi.size()) + 1);

      // A buffer of that size gets the text and its terminator.
      std::vector<wchar_t> buffer(static_cast<std::size_t>(needW) + 4, L'#');
      EXPECT_EQ(system.GetLocaleInfoW(lcid, type, buffer.data(), needW), needW);
      EXPECT_EQ(std::wstring(buffer.data()), wide);
      std::fill(buffer.begin(), buffer.end(), L'#');
      EXPECT_EQ(system.GetLocaleInfoA(lcid, type, buffer.data(), needA), needA);
      EXPECT_EQ(std::wstring(buffer.data()), Widen(ansi));

      // One character short is too small.
      EXPECT_EQ(system.GetLocaleInfoW(lcid, type, buffer.data(), needW - 1), 0);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
      EXPECT_EQ(system.GetLocaleInfoA(lcid, type, buffer.data(), needA - 1), 0);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    }
  }
}

TEST(Win32SystemInfo, UnknownInformationGivesNothing) {
  win32::Win32SystemInfo system;
  constexpr std::uint32_t kNoSuchType = 0x7FFF;
  ASSERT_EQ(::GetLocaleInfoW(GetSystemDefaultLangID(), kNoSuchType, nullptr, 0), 0);
  wchar_t buffer[64] = {};
  EXPECT_EQ(system.GetLocaleInfoW(GetSystemDefaultLangID(), kNoSuchType, nullptr, 0), 0);
  EXPECT_EQ(system.GetLocaleInfoW(GetSystemDefaultLangID(), kNoSuchType, buffer, 64), 0);
  EXPECT_EQ(system.GetLocaleInfoA(GetSystemDefaultLangID(), kNoSuchType, nullptr, 0), 0);
  EXPECT_EQ(system.GetLocaleInfoA(GetSystemDefaultLangID(), kNoSuchType, buffer, 64), 0);
}

TEST(CLocaleInfoOnWin32, GivesTheSystemLanguagesTextsInBothCharacterModes) {
  win32::Win32SystemInfo system;
  for (bool unicode : {true, false}) {
    for (bool allowUserOverride : {true, false}) {
      SCOPED_TRACE(testing::Message()
                   << "Unicode " << unicode << ", AllowUserOverride " << allowUserOverride);
      CLocaleInfo locale(system);
      // The NT family starts in Unicode mode and can switch to ANSI.
      EXPECT_TRUE(locale.Unicode());
      EXPECT_EQ(locale.LCID(), GetSystemDefaultLangID());
      locale.SetUnicode(unicode);
      locale.SetAllowUserOverride(allowUserOverride);
      ASSERT_EQ(locale.Unicode(), unicode);
      for (std::uint32_t type : kInfoTypes) {
        const std::uint32_t flags = type | (allowUserOverride ? 0 : LOCALE_NOUSEROVERRIDE);
        const std::wstring expected = unicode ? DirectW(GetSystemDefaultLangID(), flags)
                                              : Widen(DirectA(GetSystemDefaultLangID(), flags));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(locale.LocaleInfo(type), expected) << std::hex << "type 0x" << type;
      }
    }
  }
  // The language code is the identifier as four hexadecimal digits.
  wchar_t code[8] = {};
  wsprintfW(code, L"%04x", GetSystemDefaultLangID());
  EXPECT_EQ(_wcsicmp(CLocaleInfo(system).LocaleInfo(LOCALE_ILANGUAGE).c_str(), code), 0);
}

}  // namespace
}  // namespace revivix
