// Only the whole updater the site announced is started, always fresh from the site, and a start
// that does not run ends as a failed download.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DownloadFixture.h"
#include "ProgramImage.h"
#include "app/Accept.h"
#include "app/Navigation.h"
#include "automation/UpdaterAutomation.h"
#include "common/Text.h"
#include "download/FirmwareDownload.h"

namespace revivix::test {
namespace {

// ---- The check itself ----

ProgramImage Signed(std::size_t payload) {
  ProgramImage image;
  image.sections = 3;
  image.payload = payload;
  image.signatureSize = 0x300;
  return image;
}

std::string Cut(std::string bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

std::string Patched32(std::string bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

TEST(CheckDownloadedProgram, TheAnnouncedLengthAndTheProgramsStructureDecide) {
  const ProgramImage image = Signed(0x2000);
  const std::string whole = image.Build();
  ProgramImage wide = image;
  wide.wide = true;
  const std::size_t size = whole.size();
  const std::uint32_t lastSection = image.SectionTableAt() + 2 * 40;
  const struct {
    const char* name;
    std::string bytes;
    std::uint64_t announced;
    DownloadCheck expected;
  } cases[] = {
      {"whole, as announced", whole, size, DownloadCheck::Complete},
      {"whole, no length announced", whole, 0, DownloadCheck::Complete},
      {"the 64-bit form, whole", wide.Build(), wide.Size(), DownloadCheck::Complete},
      {"unsigned, whole", ProgramImage::OfSize(5000), 5000, DownloadCheck::Complete},
      // A clean early close: headers and sections whole, the payload's end missing.
      {"cut at 60 % of the announced length", Cut(whole, size * 6 / 10), size,
       DownloadCheck::WrongLength},
      {"one byte short", Cut(whole, size - 1), size, DownloadCheck::WrongLength},
      {"more than announced", whole + "x", size, DownloadCheck::WrongLength},
      {"cut in the signature, no length", Cut(whole, size - 0x100), 0, DownloadCheck::NotWhole},
      {"cut inside the sections, no length", Cut(whole, image.SectionAt(2) + 0x10), 0,
       DownloadCheck::NotWhole},
      {"cut inside the sections, served whole", Cut(whole, image.SectionAt(2) + 0x10),
       image.SectionAt(2) + 0x10, DownloadCheck::NotWhole},
      {"cut in the section table", Cut(whole, image.SectionTableAt() + 50), 0,
       DownloadCheck::NotWhole},
      {"cut in the optional header", Cut(whole, image.OptionalAt() + 30), 0,
       DownloadCheck::NotWhole},
      {"cut in the file header", Cut(whole, ProgramImage::kPeAt + 10), 0, DownloadCheck::NotWhole},
      {"a section's data beyond the end", Patched32(whole, lastSection + 20, 0x7FFFFFF0), 0,
       DownloadCheck::NotWhole},
      {"a section's size that wraps around", Patched32(whole, lastSection + 16, 0xFFFFFFFF), 0,
       DownloadCheck::NotWhole},
      {"the signature beyond the end", Patched32(whole, image.SecurityEntryAt() + 4, 0x10000), 0,
       DownloadCheck::NotWhole},
      {"the headers' size beyond the end", Patched32(whole, image.OptionalAt() + 60, 0x100000), 0,
       DownloadCheck::NotWhole},
      {"a symbol table beyond the end", Patched32(whole, ProgramImage::kPeAt + 12, 0x7FFFFF00), 0,
       DownloadCheck::NotWhole},
      {"an error page", "<html><body>404 Not Found</body></html>", 0, DownloadCheck::NotAProgram},
      {"a header alone", "MZ\x90", 3, DownloadCheck::NotAProgram},
      {"no optional header", Patched32(whole, ProgramImage::kPeAt + 20, 0), 0,
       DownloadCheck::NotAProgram},
      {"an unknown optional header", Patched32(whole, image.OptionalAt(), 0x107), 0,
       DownloadCheck::NotAProgram},
      {"more directories than the header holds", Patched32(whole, image.OptionalAt() + 92, 1000), 0,
       DownloadCheck::NotAProgram},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckDownloadedProgram(Bytes(c.bytes), c.announced), c.expected)
        << c.name << ": "
        << ToUtf8(DescribeDownloadCheck(CheckDownloadedProgram(Bytes(c.bytes), c.announced)));
}

// ---- The download step ----

constexpr wchar_t kCheckedUpdaterUrl[] = L"http://site/fw/upd.exe";

struct OutcomeCase {
  const char* name;
  std::string body;           // what arrives
  std::uint32_t progressMax;  // the progress callbacks' maximum; 0 for none
  std::uint64_t contentLength;
  bool started;
};

TEST_F(DownloadTest, OnlyAWholeAnnouncedProgramIsStartedAnyOtherIsDeletedUnopened) {
  const std::string whole = Signed(0x4000).Build();
  const auto n = static_cast<std::uint32_t>(whole.size());
  const std::string sixty = Cut(whole, whole.size() * 6 / 10);
  const std::string inSections = Cut(whole, Signed(0).SectionAt(1) + 8);
  const std::string inSignature = Cut(whole, whole.size() - 8);
  ProgramImage plain;
  plain.payload = 0x4000;
  const std::string plainSixty = Cut(plain.Build(), plain.Size() * 6 / 10);
  const std::vector<OutcomeCase> cases = {
      {"length met by the progress", whole, n, 0, true},
      {"length met by the Content-Length", whole, 0, n, true},
      {"no length, structure whole", whole, 0, 0, true},
      {"short of the progress maximum", sixty, n, 0, false},
      {"short of the Content-Length", sixty, 0, n, false},
      {"no length, unsigned, cut in the payload (cannot be told)", plainSixty, 0, 0, true},
      {"no length, signed, cut in the payload", sixty, 0, 0, false},
      {"no length, sections beyond the end", inSections, 0, 0, false},
      {"served whole, sections beyond the end", inSections,
       static_cast<std::uint32_t>(inSections.size()), 0, false},
      {"no length, the signature beyond the end", inSignature, 0, 0, false},
      {"served whole, the signature beyond the end", inSignature, 0, inSignature.size(), false},
  };
  for (const OutcomeCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform p;
    frmMain f{p.program};
    p.WriteFile("Languages/English.txt", "[Strings]\r\nIDS_UNEXPECTED_ERROR=unexpected.\r\n");
    f.LanguageFilePath = p.Folder() + L"\\Languages\\English.txt";
    f.UserName = L"ann";
    f.UpdaterUrl = kCheckedUpdaterUrl;
    FakeTransfer t;
    // The progress counts what arrived; its maximum is what was announced.
    const auto arrived = static_cast<std::uint32_t>(c.body.size());
    t.steps = {{arrived / 2, c.progressMax, 5}, {arrived, c.progressMax, 5}};
    t.body = c.body;
    t.contentLength = c.contentLength;
    p.download.transfers[kCheckedUpdaterUrl] = t;

    EXPECT_EQ(StartFirmwareDownload(f), c.started);
    EXPECT_EQ(p.shell.calls.size(), c.started ? 1u : 0u);
    EXPECT_EQ(p.Exists("FW/upd.exe"), c.started);
    EXPECT_EQ(p.loop.IsArmed(f.Timer6), !c.started);
    if (!c.started) {
      EXPECT_EQ(f.Uni_Error_Label1.Caption(), L"ann, unexpected.");
      EXPECT_FALSE(f.Frame_4_Download_Progress.Visible());
    }
  }
}

TEST_F(DownloadTest, TheCacheEntryIsRemovedBeforeTheTransfer) {
  form.UpdaterUrl = kCheckedUpdaterUrl;
  platform.download.transfers[kCheckedUpdaterUrl] = FakeTransfer::Of(ProgramBytes(), 2);
  // An earlier run's copy is in the Internet cache.
  platform.download.cacheEntries.push_back(kCheckedUpdaterUrl);
  ASSERT_TRUE(StartFirmwareDownload(form));
  ASSERT_EQ(platform.download.requests.size(), 1u);
  EXPECT_FALSE(platform.download.requests[0].cached);
  EXPECT_EQ(platform.download.deletedCacheEntries, std::vector<std::wstring>{kCheckedUpdaterUrl});

  // Without an entry the download goes ahead all the same.
  FakePlatform p;
  frmMain f{p.program};
  f.UpdaterUrl = kCheckedUpdaterUrl;
  p.download.transfers[kCheckedUpdaterUrl] = FakeTransfer::Of(ProgramBytes(), 2);
  EXPECT_TRUE(StartFirmwareDownload(f));
  EXPECT_EQ(p.shell.calls.size(), 1u);
}

TEST_F(DownloadTest, AStartTheShellRefusesIsAFailedDownload) {
  LinkPage(L"http://site/eu/fc200.htm", kCheckedUpdaterUrl);
  platform.download.transfers[kCheckedUpdaterUrl] = FakeTransfer::Of(ProgramBytes(), 2);
  platform.shell.result = 11;  // the system's "bad program format"
  form.Cmd_I_Agree.RaiseClick();
  ASSERT_EQ(platform.shell.calls.size(), 1u);
  EXPECT_EQ(form.Uni_Error_Label1.Caption(), L"ann, unexpected.");
  EXPECT_FALSE(platform.Exists("FW/upd.exe"));
  EXPECT_FALSE(form.Frame_4_Download_Progress.Visible());
  EXPECT_TRUE(platform.loop.IsArmed(form.Timer6));
  platform.loop.Advance(2000);
  EXPECT_EQ(platform.window.destroyed, 1);
}

// The updater's process ends before its window was ever seen: at the first of Timer4's ticks
// once the few seconds of grace have passed, the step fails; a window seen in time, or a process
// that goes on running, keeps the wizard waiting for the updater.
TEST_F(DownloadTest, AnUpdaterThatEndsWithoutShowingItsWindowIsAFailedDownload) {
  const struct {
    const char* name;
    bool ends;
    bool windowAtTwoSeconds;
    bool fails;
    bool helpFirst = false;  // Help opens a browser before the updater's window appears
  } cases[] = {
      {"ends at once, no window", true, false, true},
      {"ends after showing its window", true, true, false},
      {"runs on without a window yet", false, false, false},
      // The shell's last start is then the browser's, whose end says nothing of the updater.
      {"Help's browser ended, the updater's window not yet there", true, false, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform p;
    frmMain f{p.program};
    p.WriteFile("Languages/English.txt", "[Strings]\r\nIDS_UNEXPECTED_ERROR=unexpected.\r\n");
    f.LanguageFilePath = p.Folder() + L"\\Languages\\English.txt";
    f.UserName = L"ann";
    f.UpdaterTitle = L"FERNCLIP 200 FIRMWARE UPDATER";
    f.UpdaterUrl = kCheckedUpdaterUrl;
    p.download.transfers[kCheckedUpdaterUrl] = FakeTransfer::Of(ProgramBytes(), 2);
    ASSERT_TRUE(StartFirmwareDownload(f));
    if (c.helpFirst) {
      f.SupportUrl = L"http://support.example/fc200.htm";
      UniButton_Help_Click(f);
      ASSERT_EQ(p.shell.calls.size(), 2u);
    }
    f.Timer4.SetEnabled(true);
    f.Timer5.SetEnabled(true);
    p.shell.processEnded = c.ends;
    if (c.windowAtTwoSeconds)
      p.desktop.After(1500, [&p] { p.desktop.AddWindow(L"Fernclip 200 Firmware Updater"); });
    p.loop.Advance(2999);
    EXPECT_FALSE(p.loop.IsArmed(f.Timer6)) << "within the grace";
    p.loop.Advance(1);
    EXPECT_EQ(p.loop.IsArmed(f.Timer6), c.fails);
    EXPECT_EQ(f.Uni_Error_Label1.Caption() == L"ann, unexpected.", c.fails);
    p.loop.Advance(20000 - 3000 - 1);
    EXPECT_EQ(p.loop.IsArmed(f.Timer4), !c.fails);
    EXPECT_EQ(p.loop.IsArmed(f.Timer5), !c.fails);
    EXPECT_EQ(p.Exists("FW/upd.exe"), !c.fails);
  }
}

}  // namespace
}  // namespace revivix::test
