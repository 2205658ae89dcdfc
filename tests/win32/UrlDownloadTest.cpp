// The real download service against the local maker site: the events arrive in order while the
// user-interface thread's messages keep running, a missing length gives no progress, an HTTP
// error status fails without leaving the error page behind, a refused port fails at once, and a
// download stopped from its own progress event ends as cancelled.
//   arguments: the site's state folder (holding "port") and its root folder
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "common/Text.h"
#include "controls/Timer.h"
#include "download/TumoDL.h"
#include "driver/Paths.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32UrlDownload.h"

namespace revivix::win32 {
namespace {

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Download : ::testing::Test {
  static void SetUpTestSuite() {
    const std::wstring state = driver::WindowsPath(wintest::Argument(0));
    root = driver::WindowsPath(wintest::Argument(1));
    port = std::stoi(ReadAll(state + L"\\port"));
    // 256 KB at 128 KB/s: about two seconds.
    WriteAll(root + L"\\slow.bin", Pattern(256 * 1024));
    // 1 MB at 128 KB/s: about eight seconds, for a cancel measured with room to spare.
    WriteAll(root + L"\\slower.bin", Pattern(1024 * 1024));
    WriteAll(root + L"\\nolength.bin", Pattern(200 * 1024));
    WriteAll(root + L"\\cut.bin", Pattern(100 * 1024));
  }

  Download() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    target = std::wstring(temp) + L"revivix-dl-" + std::to_wstring(GetCurrentProcessId()) + L".bin";
    DeleteFileW(target.c_str());
    dl.TumoDLStart = [this] { events.push_back("start"); };
    dl.TumoDLDone = [this] { events.push_back("done"); };
    dl.TumoDLCrash = [this](std::int32_t code, std::wstring&, bool& cancelled) {
      crashCode = code;
      events.push_back(cancelled ? "crash cancelled" : "crash");
    };
    dl.TumoDLCancelled = [this] { events.push_back("cancelled"); };
    dl.TumoDLProg = [this](std::int32_t progress, std::int32_t max) {
      if (events.empty() || events.back() != "prog") events.push_back("prog");
      progressSeen.push_back(progress);
      lastMax = max;
      if (onProgress) onProgress();
    };
    ticker.OnTick = [this] { ++ticks; };
    ticker.Bind(&loop);
  }
  ~Download() override { DeleteFileW(target.c_str()); }

  static std::wstring Url(const std::wstring& path) {
    return L"http://127.0.0.1:" + std::to_wstring(port) + path;
  }
  std::optional<bool> Run(const std::wstring& url) {
    const ULONGLONG start = GetTickCount64();
    const auto result = dl.StartTheStinkinDownLoad(url, target);
    elapsedMs = GetTickCount64() - start;
    return result;
  }

  static inline std::wstring root;
  static inline int port = 0;
  Win32EventLoop loop;
  Win32UrlDownload service;
  TumoDL dl{service, loop};
  Timer ticker{"Ticker", 50, true};
  int ticks = 0;
  std::wstring target;
  std::vector<std::string> events;
  std::vector<std::int32_t> progressSeen;
  std::int32_t lastMax = -1;
  std::int32_t crashCode = 0;
  ULONGLONG elapsedMs = 0;
  std::function<void()> onProgress;
};

TEST_F(Download, AThrottledDownloadReportsProgressWhileTheMessageLoopRuns) {
  const std::string expected = Pattern(256 * 1024);
  EXPECT_EQ(Run(Url(L"/slow.bin")), std::optional<bool>(true));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "prog", "done"}));
  EXPECT_GE(progressSeen.size(), 3u);
  EXPECT_TRUE(std::is_sorted(progressSeen.begin(), progressSeen.end()));
  EXPECT_EQ(lastMax, static_cast<std::int32_t>(expected.size()));
  EXPECT_EQ(progressSeen.back(), static_cast<std::int32_t>(expected.size()));
  EXPECT_EQ(ReadAll(target), expected);
  // About two seconds of a 50 ms timer, delivered from inside the blocking download.
  EXPECT_GE(elapsedMs, 1000u);
  EXPECT_GE(ticks, 5) << "the window's messages did not run during the download";
  EXPECT_EQ(service.LastHttpStatus(), 200u);
}

TEST_F(Download, WithoutALengthNoProgressIsRaisedAndTheDownloadCompletes) {
  EXPECT_EQ(Run(Url(L"/nolength.bin")), std::optional<bool>(true));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "done"}));
  EXPECT_EQ(ReadAll(target), Pattern(200 * 1024));
  EXPECT_GE(ticks, 3) << "the window's messages did not run during the download";
}

TEST_F(Download, AnHttpErrorStatusFailsAndLeavesNoFile) {
  for (const auto& [path, status, code] : {std::tuple{L"/missing.exe", 404u, kResourceNotFound},
                                           std::tuple{L"/error.exe", 500u, kDownloadFailure}}) {
    events.clear();
    WriteAll(target, "an older file");
    EXPECT_EQ(Run(Url(path)), std::optional<bool>(false)) << status;
    EXPECT_EQ(events.back(), "crash") << status;
    EXPECT_EQ(crashCode, code) << status;
    EXPECT_FALSE(Exists(target)) << status;
    EXPECT_EQ(service.LastHttpStatus(), status);
    // Which way the status arrived on this platform, for the record.
    const auto source = service.LastStatusSource();
    EXPECT_NE(source, Win32UrlDownload::StatusSource::None);
    std::printf(
        "HTTP %u: negotiation callback %s; refused through %s; the service returned 0x%08lX\n",
        status, service.LastNegotiated() ? "asked" : "not asked",
        source == Win32UrlDownload::StatusSource::Negotiation ? "the negotiation callback"
                                                              : "the binding's HTTP info",
        static_cast<unsigned long>(service.LastServiceResult()));
  }
}

TEST_F(Download, ACleanCloseBeforeTheAnnouncedLengthLeavesTheAnnouncedLengthToCompare) {
  // The service takes the early end as the end of data; what was announced is still known.
  Run(Url(L"/cut.bin"));
  EXPECT_EQ(ReadAll(target).size(), 100u * 1024 * 6 / 10);
  EXPECT_EQ(dl.AnnouncedLength(), 100u * 1024);
}

TEST_F(Download, TheFinalAnswerDecides) {
  const struct {
    const wchar_t* path;
    bool ok;
    std::int32_t code;
  } cases[] = {
      {L"/moved.bin", true, kDownloadOk},
      {L"/moved-missing.exe", false, kResourceNotFound},
      // Followed to the file, or a failure; never saved as the file.
      {L"/moved-for-good.exe", false, kDownloadFailure},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    events.clear();
    crashCode = 0;
    DeleteFileW(target.c_str());
    const auto result = Run(Url(c.path));
    if (std::wstring(c.path) == L"/moved-for-good.exe" && result == std::optional<bool>(true)) {
      // The service followed the redirect: the file is the one it leads to.
      EXPECT_EQ(ReadAll(target), Pattern(256 * 1024));
      continue;
    }
    EXPECT_EQ(result, std::optional<bool>(c.ok));
    if (c.ok) {
      EXPECT_EQ(ReadAll(target), Pattern(256 * 1024));
    } else {
      EXPECT_EQ(crashCode, c.code);
      EXPECT_FALSE(Exists(target));
    }
    std::printf("%s: final HTTP status %u\n", ToUtf8(c.path).c_str(),
                static_cast<unsigned>(service.LastHttpStatus()));
  }
}

TEST_F(Download, AnHtmlPageWithAGoodStatusIsSavedAsItCame) {
  // The service cannot tell an error page served with status 200; the download step's program
  // header check does.
  EXPECT_EQ(Run(Url(L"/page.exe")), std::optional<bool>(true));
  EXPECT_EQ(ReadAll(target), "<html><body>Download page</body></html>");
}

TEST_F(Download, ARefusedPortFailsAtOnce) {
  // Port 1 on loopback: nothing listens there.
  EXPECT_EQ(Run(L"http://127.0.0.1:1/fw/upd.exe"), std::optional<bool>(false));
  EXPECT_EQ(events.back(), "crash");
  EXPECT_NE(crashCode, 0);
  EXPECT_LT(elapsedMs, 10000u);
  EXPECT_FALSE(Exists(target));
}

TEST_F(Download, KillTumoFromAProgressEventCancelsTheDownload) {
  onProgress = [this] {
    if (progressSeen.size() == 1) dl.KillTumo();
  };
  EXPECT_EQ(Run(Url(L"/slower.bin")), std::optional<bool>(false));
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events[0], "start");
  EXPECT_EQ(events[2], "cancelled");
  EXPECT_EQ(events.back(), "crash cancelled");
  EXPECT_EQ(std::count(events.begin(), events.end(), "done"), 0);
  // The service may report the bytes it already had once more while it winds down.
  EXPECT_LE(progressSeen.size(), 3u);
  // The whole file would take about eight seconds; the cancel ends it long before.
  EXPECT_LT(elapsedMs, 4000u);
  EXPECT_NE(ReadAll(target), Pattern(1024 * 1024));
  EXPECT_FALSE(dl.Running());
}

TEST_F(Download, ASecondStartFromAProgressEventIsRefused) {
  std::vector<std::optional<bool>> inner;
  onProgress = [&] { inner.push_back(dl.StartTheStinkinDownLoad(Url(L"/slow.bin"), target)); };
  EXPECT_EQ(Run(Url(L"/slow.bin")), std::optional<bool>(true));
  ASSERT_FALSE(inner.empty());
  for (const auto& r : inner) EXPECT_FALSE(r.has_value());
  EXPECT_EQ(ReadAll(target), Pattern(256 * 1024));
}

TEST_F(Download, DeleteTumoCacheOfAnAddressNeverFetchedFails) {
  std::wstring url = Url(L"/never-fetched-" + std::to_wstring(GetTickCount64()) + L".bin");
  EXPECT_EQ(dl.DeleteTumoCache(url), 0);
  EXPECT_EQ(dl.LastError(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace revivix::win32
