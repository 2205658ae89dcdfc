#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Text.h"
#include "download/TumoDL.h"
#include "fakes/FakePlatform.h"

namespace revivix::test {
namespace {

const std::wstring kUrl = L"http://127.0.0.1:8080/fw/upd.exe";

// A TumoDL on the fake service that writes down every event it raises.
struct TumoDLTest : ::testing::Test {
  TumoDLTest() {
    dl.TumoDLStart = [this] { events.push_back("start"); };
    dl.TumoDLDone = [this] { events.push_back("done"); };
    dl.TumoDLCrash = [this](std::int32_t code, std::wstring& message, bool& cancelled) {
      events.push_back("crash " + std::to_string(static_cast<std::uint32_t>(code)) + " " +
                       ToUtf8(message) + (cancelled ? " cancelled" : ""));
    };
    dl.TumoDLCancelled = [this] { events.push_back("cancelled"); };
    dl.TumoDLProg = [this](std::int32_t progress, std::int32_t max) {
      events.push_back("prog " + std::to_string(progress) + "/" + std::to_string(max));
      if (onProgress) onProgress(progress);
    };
  }
  std::wstring Target() const { return platform.Folder() + L"\\FW\\upd.exe"; }

  FakePlatform platform;
  TumoDL dl{platform.download, platform.loop};
  std::vector<std::string> events;
  std::function<void(std::int32_t)> onProgress;
};

TEST_F(TumoDLTest, ReportsStartProgressAndDoneInOrder) {
  platform.download.transfers[kUrl] = FakeTransfer::Of("MZ-body-300", 3);
  const auto result = dl.StartTheStinkinDownLoad(kUrl, Target());
  EXPECT_EQ(result, std::optional<bool>(true));
  EXPECT_EQ(events,
            (std::vector<std::string>{"start", "prog 3/11", "prog 7/11", "prog 11/11", "done"}));
  EXPECT_EQ(platform.ReadFile("FW/upd.exe"), "MZ-body-300");
  EXPECT_EQ(platform.loop.doEventsCalls, 3);
  EXPECT_FALSE(dl.Running());
}

TEST_F(TumoDLTest, WithoutALengthNoProgressIsRaisedButEventsStillRun) {
  platform.download.transfers[kUrl] = FakeTransfer::Of("0123456789", 4, /*withLength=*/false);
  // A click queued before the download runs during it, inside the service's progress calls.
  bool clicked = false;
  platform.loop.Queue([&] { clicked = true; });
  EXPECT_EQ(dl.StartTheStinkinDownLoad(kUrl, Target()), std::optional<bool>(true));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "done"}));
  EXPECT_EQ(platform.loop.doEventsCalls, 4);
  EXPECT_TRUE(clicked);
}

TEST_F(TumoDLTest, AFailedTransferCrashesWithItsMessageAndReturnsFalse) {
  FakeTransfer t = FakeTransfer::Of("<html>404</html>", 1);
  t.result = kResourceNotFound;
  platform.download.transfers[kUrl] = t;
  EXPECT_EQ(dl.StartTheStinkinDownLoad(kUrl, Target()), std::optional<bool>(false));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "prog 16/16",
                                              "crash 2148270085 Resource Not Found."}));
  EXPECT_FALSE(platform.Exists("FW/upd.exe"));
}

TEST_F(TumoDLTest, AnUnreachableServerOnlyCrashes) {
  EXPECT_EQ(dl.StartTheStinkinDownLoad(L"http://127.0.0.1:1/x.exe", Target()),
            std::optional<bool>(false));
  EXPECT_EQ(events, (std::vector<std::string>{"crash 2148270088 Download Failure."}));
}

TEST_F(TumoDLTest, KillTumoFromAProgressStepCancelsTheDownload) {
  platform.download.transfers[kUrl] = FakeTransfer::Of("abcdefghij", 5);
  onProgress = [this](std::int32_t progress) {
    if (progress == 4) dl.KillTumo();
  };
  EXPECT_EQ(dl.StartTheStinkinDownLoad(kUrl, Target()), std::optional<bool>(false));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "prog 2/10", "prog 4/10", "cancelled",
                                              "crash 2147500036 Unknown. cancelled"}));
  EXPECT_EQ(platform.download.aborts, 1);
  EXPECT_EQ(platform.download.stepsReported, 2);
  EXPECT_FALSE(platform.Exists("FW/upd.exe"));
  EXPECT_FALSE(dl.Running());
}

TEST_F(TumoDLTest, ASecondStartWhileRunningIsRefusedWithoutTouchingTheFirst) {
  platform.download.transfers[kUrl] = FakeTransfer::Of("abcdef", 3);
  std::vector<std::optional<bool>> inner;
  onProgress = [&](std::int32_t) {
    inner.push_back(dl.StartTheStinkinDownLoad(kUrl, platform.Folder() + L"\\FW\\other.exe"));
    // Refused starts and kills made inside a killed download stay refused as well.
  };
  EXPECT_EQ(dl.StartTheStinkinDownLoad(kUrl, Target()), std::optional<bool>(true));
  ASSERT_EQ(inner.size(), 3u);
  for (const auto& r : inner) {
    EXPECT_FALSE(r.has_value());  // neither true nor false
    EXPECT_NE(r, std::optional<bool>(true));
    EXPECT_NE(r, std::optional<bool>(false));
  }
  EXPECT_EQ(platform.download.requests.size(), 1u);
  EXPECT_EQ(events,
            (std::vector<std::string>{"start", "prog 2/6", "prog 4/6", "prog 6/6", "done"}));
}

TEST_F(TumoDLTest, AStartAfterAKillInsideTheSameDownloadIsStillRefused) {
  platform.download.transfers[kUrl] = FakeTransfer::Of("abcdef", 3);
  std::optional<bool> second = true;
  onProgress = [&](std::int32_t) {
    dl.KillTumo();
    second = dl.StartTheStinkinDownLoad(kUrl, Target());
  };
  EXPECT_EQ(dl.StartTheStinkinDownLoad(kUrl, Target()), std::optional<bool>(false));
  EXPECT_FALSE(second.has_value());
  EXPECT_EQ(platform.download.requests.size(), 1u);
}

TEST_F(TumoDLTest, KillTumoWhenIdleStillRaisesCancelled) {
  dl.KillTumo();
  EXPECT_EQ(events, (std::vector<std::string>{"cancelled"}));
  EXPECT_FALSE(dl.Running());
  EXPECT_EQ(platform.download.aborts, 0);
  // The object is idle and usable afterwards.
  platform.download.transfers[kUrl] = FakeTransfer::Of("MZ", 1);
  EXPECT_EQ(dl.StartTheStinkinDownLoad(kUrl, Target()), std::optional<bool>(true));
}

TEST_F(TumoDLTest, DeleteTumoCacheReturnsTheServiceResult) {
  platform.download.transfers[kUrl] = FakeTransfer::Of("MZ", 1);
  ASSERT_EQ(dl.StartTheStinkinDownLoad(kUrl, Target()), std::optional<bool>(true));
  std::wstring url = kUrl;
  EXPECT_NE(dl.DeleteTumoCache(url), 0);
  EXPECT_EQ(dl.DeleteTumoCache(url), 0);
  EXPECT_EQ(dl.LastError(), 2u);
}

TEST(StatusMessage, EveryKnownCodeAndTheRest) {
  const std::pair<std::uint32_t, const wchar_t*> cases[] = {
      {0x800C0002, L"Invalid URL."},
      {0x800C0003, L"No Session."},
      {0x800C0004, L"Cannot Connect"},
      {0x800C0005, L"Resource Not Found."},
      {0x800C0006, L"File Not Found."},
      {0x800C0007, L"Data Not Available."},
      {0x800C0008, L"Download Failure."},
      {0x800C0009, L"Authentication Failure."},
      {0x800C000A, L"No Valid Media."},
      {0x800C000B, L"Connection Timeout."},
      {0x800C000C, L"Invalid Request."},
      {0x800C000D, L"Unknown Protocol."},
      {0x800C000E, L"Security Problem."},
      {0x800C000F, L"Cannot Load Data."},
      {0x800C0010, L"Cannot Instantiate Object."},
      {0x800C0011, L"Default Action."},
      {0x800C0012, L"Unknown."},
      {0x800C0013, L"QueryOption Unknown."},
      {0x800C0014, L"Redirect Failed."},
      {0x800C0015, L"Redirect To Dir."},
      {0x800C0016, L"Cannot Lock Request."},
      {0x800C0017, L"Unknown."},
      {0x800C0100, L"Code Download Declined."},
      {0x800C0200, L"Result Dispatched."},
      {0x800C0300, L"Cannot Replace SFP File."},
      {0x00000000, L"Unknown."},
      {0x80004004, L"Unknown."},
      {0xFFFFFFFF, L"Unknown."},
  };
  for (const auto& [code, message] : cases)
    EXPECT_EQ(StatusMessage(static_cast<std::int32_t>(code)), message) << std::hex << code;
}

}  // namespace
}  // namespace revivix::test
