// The code-page tables the Windows layer reads from the system: they convert as the system's own
// functions do, on a seeded random corpus of texts in code pages 1252, 1251 and 932, and the
// updater's windows are found by titles in the system's ANSI code page. Run under LC_ALL of a
// Russian or Japanese Unix locale, Wine's ANSI code page is 1251 or 932.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "automation/BasWinHandler.h"
#include "common/Text.h"
#include "platform/win32/Win32CodePage.h"
#include "platform/win32/Win32Desktop.h"

namespace revivix {
namespace {

std::wstring SystemDecode(UINT page, const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n =
      MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

// The system's conversion without best fit: no value when a default character had to be used.
std::optional<std::string> SystemEncode(UINT page, const std::wstring& text) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  const int n =
      WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                          nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                      out.data(), n, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

class Tables : public testing::TestWithParam<UINT> {};

TEST_P(Tables, ConvertAsTheSystemDoesOnARandomCorpus) {
  const UINT page = GetParam();
  const CodePage table = win32::LoadCodePage(page);
  ASSERT_EQ(table.Id(), page);
  // The characters the code page has, from every byte sequence the system accepts.
  std::vector<std::string> sequences;
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    if (table.Decode(one).size() == 1 && table.Encode(table.Decode(one)) == one)
      sequences.push_back(one);
    for (int t = 0x40; t < 256 && page == 932; ++t) {
      const std::string two{static_cast<char>(b), static_cast<char>(t)};
      const std::wstring text = table.Decode(two);
      if (text.size() == 1 && table.Encode(text) == two) sequences.push_back(two);
    }
  }
  ASSERT_GT(sequences.size(), 200u);
  std::mt19937 random(14);
  const wchar_t outside[] = {0xFF0E, 0xFF3C, 0x00A5, 0x0141, 0x65E5, 0x0416, 0x20AC, 0x00E9};
  for (int n = 0; n < 3000; ++n) {
    std::string bytes;
    std::wstring mixed;
    const int length = 1 + static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) {
      bytes += sequences[random() % sequences.size()];
      if (random() % 5 == 0) mixed.push_back(outside[random() % std::size(outside)]);
    }
    const std::wstring text = table.Decode(bytes);
    ASSERT_EQ(text, SystemDecode(page, bytes)) << "case " << n;
    // Where the code page has two sequences for one character (932's NEC and IBM rows) the
    // system may pick the other one; either decodes back to exactly the same text.
    const auto encoded = table.Encode(text);
    ASSERT_EQ(encoded.has_value(), SystemEncode(page, text).has_value()) << "case " << n;
    if (encoded) {
      ASSERT_EQ(SystemDecode(page, *encoded), text) << "case " << n;
    }
    mixed += text;
    const auto ours = table.Encode(mixed);
    const auto system = SystemEncode(page, mixed);
    ASSERT_EQ(ours.has_value(), system.has_value()) << "case " << n << ": " << ToUtf8(mixed);
    if (ours) {
      ASSERT_EQ(SystemDecode(page, *ours), mixed) << "case " << n;
    }
  }
  // Arbitrary bytes: the same text wherever every byte sequence is valid.
  for (int n = 0; n < 3000; ++n) {
    std::string bytes;
    for (int i = 0; i < 16; ++i) bytes.push_back(static_cast<char>(1 + random() % 255));
    const bool valid =
        MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), 16, nullptr, 0) > 0;
    if (valid) {
      ASSERT_EQ(table.Decode(bytes), SystemDecode(page, bytes)) << "bytes case " << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(CodePages, Tables, testing::Values(1252u, 1251u, 932u));

// The title of the updater in the system's code page, as a Russian or Japanese updater has it.
TEST(SystemCodePage, TheUpdaterIsFoundByATitleInTheSystemsCodePage) {
  const char* expected = std::getenv("REVIVIX_EXPECT_ACP");
  const UINT acp = expected ? static_cast<UINT>(std::atoi(expected)) : 1252u;
  ASSERT_EQ(GetACP(), acp) << "Wine's ANSI code page follows LC_ALL of the wine64 command";
  win32::Win32Desktop desktop;
  ASSERT_EQ(desktop.AnsiCodePage().Id(), acp);
  const std::wstring title = acp == 1251  ? L"Программа обновления Fernclip"
                             : acp == 932 ? L"Fernclip ファームウェア更新"
                                          : L"Fernclip Mise à jour";
  HWND window = CreateWindowExW(0, L"STATIC", title.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  HWND button = CreateWindowExW(0, L"BUTTON", L"&Start", WS_CHILD, 0, 0, 5, 5, window, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  UpdaterWindows w;
  w.SearchTitle = UCase(title);
  ScanUpdater(desktop, w);
  EXPECT_EQ(w.MainWindow, reinterpret_cast<WindowHandle>(window));
  EXPECT_EQ(w.StartButton, reinterpret_cast<WindowHandle>(button));
  DestroyWindow(window);
}

}  // namespace
}  // namespace revivix
