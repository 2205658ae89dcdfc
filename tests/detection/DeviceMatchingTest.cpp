#include <gtest/gtest.h>

#include <random>

#include "DatabaseFixture.h"
#include "common/Text.h"
#include "detection/DeviceMatching.h"
#include "detection/PlayerDatabase.h"

namespace revivix::test {
namespace {

TEST(Devices, NormalisedName) {
  const struct {
    const wchar_t* name;
    const wchar_t* normalised;
  } table[] = {
      {L"Zanterix Fernclip 200 USB Device", L"ZANTERIX FERNCLIP 200"},
      {L"  zanterix fernclip 200 usb device  ", L"ZANTERIX FERNCLIP 200"},
      {L"Zanterix USB Device Fernclip", L"ZANTERIX  FERNCLIP"},
      {L"Zanterix Fernclip USB DeviceUSB Device", L"ZANTERIX FERNCLIP"},
      {L"USB USB DEVICEDEVICE", L"USB DEVICE"},  // one pass: what a removal leaves stays
      {L"Zanterix Fernclip 200", L"ZANTERIX FERNCLIP 200"},
      {L"", L""},
  };
  for (const auto& row : table)
    EXPECT_EQ(NormalisedName(row.name), row.normalised) << ToUtf8(row.name);
}

TEST(Devices, Classification) {
  const struct {
    DeviceEntry device;
    DeviceKind kind;
    const wchar_t* text;
  } table[] = {
      {{L"USB\\VID_2A5F&PID_4157\\FC2000001", L"Zanterix Fernclip 200 USB Device"},
       DeviceKind::MakerDevice,
       L"ZANTERIX FERNCLIP 200"},
      {{L"USBSTOR\\DISK&VEN_ZANTERIX&PROD_FC200\\7&1", L"Zanterix Fernclip 200 USB Device"},
       DeviceKind::MakerDevice,
       L"ZANTERIX FERNCLIP 200"},
      {{L" usb\\Vid_2a5f&Pid_3500\\Rec1 ", L"Zanterix Fernclip 200 USB Device"},
       DeviceKind::RecoveryMode,
       L" usb\\Vid_2a5f&Pid_3500\\Rec1 "},
      {{L"USB\\VID_2A5F&PID_3500\\X", L""}, DeviceKind::RecoveryMode, L"USB\\VID_2A5F&PID_3500\\X"},
      {{L"PCI\\VEN_8086&DEV_3500", L"Zanterix Fernclip"}, DeviceKind::Other, L""},
      {{L"USB\\VID_046D&PID_C077\\5&1", L"USB Input Device"}, DeviceKind::Other, L""},
      {{L"ROOT\\ZANTERIX\\0000", L"Zanterix Fernclip 200"}, DeviceKind::Other, L""},
  };
  for (const auto& row : table) {
    const ClassifiedDevice c = ClassifyDevice(row.device);
    EXPECT_EQ(c.kind, row.kind) << ToUtf8(row.device.pnpDeviceId);
    EXPECT_EQ(c.text, row.text) << ToUtf8(row.device.pnpDeviceId);
  }
}

using Matching = DetectionTest;

TEST_F(Matching, RemoveDuplicateItemsKeepsTheFirstSpellingInOrder) {
  for (const wchar_t* e : {L"b", L"A", L"", L"a", L"B", L"c", L"b"}) form.List1.AddItem(e);
  RemoveDuplicateItems(form.List1);
  ASSERT_EQ(form.List1.ListCount(), 3);
  EXPECT_EQ(form.List1.List(0), L"b");
  EXPECT_EQ(form.List1.List(1), L"A");
  EXPECT_EQ(form.List1.List(2), L"c");
  form.List1.Clear();
  form.List1.AddItem(L"");
  RemoveDuplicateItems(form.List1);  // fewer than two entries: left as it is
  EXPECT_EQ(form.List1.ListCount(), 1);
}

TEST_F(Matching, OnePlayerFillsTheRecordAndTheChoiceList) {
  Record fc300;
  fc300.model = L"Zanterix Fernclip 300";
  fc300.serial = L"3A3A";
  fc300.title = L"Fernclip 300 Firmware UPGRADE";
  ServeDatabase(Page({RecordLine({}), RecordLine(fc300)}));
  Connect(L"USB\\ROOT_HUB20\\4&1", L"USB Root Hub");
  Connect(L"USB\\VID_2A5F&PID_4157\\0001", L"ZANTERIX fernclip 300 USB Device");
  EXPECT_EQ(FindConnectedPlayers(form), 1);
  EXPECT_EQ(form.PlayerModel, L"Zanterix Fernclip 300");
  EXPECT_EQ(form.UpdaterTitle, L"FERNCLIP 300 FIRMWARE UPGRADE");
  EXPECT_EQ(form.RecoveryDeviceCount, 0);
  EXPECT_TRUE(form.DatabaseAvailable);
  EXPECT_EQ(form.DatabaseLines.size(), 3u);
  ASSERT_EQ(form.Combo_Choose_Player.ListCount(), 2);
  EXPECT_EQ(form.Combo_Choose_Player.List(0), L"Choose Player");
  EXPECT_EQ(form.Combo_Choose_Player.List(1), L"Zanterix Fernclip 300");
  EXPECT_EQ(platform.devices.reads, 1);
}

TEST_F(Matching, CountsPairsOfLinesAndDevices) {
  Record other;
  other.model = L"Zanterix Fernclip 300";
  const struct {
    const char* name;
    std::vector<std::wstring> lines;
    std::vector<DeviceEntry> devices;
    int count;
    int recovery;
  } table[] = {
      {"maker word but unknown model",
       {RecordLine({})},
       {{L"USB\\VID_2A5F&PID_4157\\1", L"Zanterix Fernclip 900 USB Device"}},
       0,
       0},
      {"player listed twice (bus and disk)",
       {RecordLine({})},
       {{L"USB\\VID_2A5F&PID_4157\\1", L"Zanterix Fernclip 200 USB Device"},
        {L"USBSTOR\\DISK&VEN_ZANTERIX\\1", L"Zanterix Fernclip 200 USB Device"}},
       2,
       0},
      {"two lines with one model name",
       {RecordLine({}), RecordLine({})},
       {{L"USB\\VID_2A5F&PID_4157\\1", L"Zanterix Fernclip 200 USB Device"}},
       2,
       0},
      {"recovery device is never name-matched",
       {RecordLine({})},
       {{L"USB\\VID_2A5F&PID_3500\\1", L"Zanterix Fernclip 200 USB Device"}},
       0,
       1},
      {"two recovery devices",
       {RecordLine({}), RecordLine(other)},
       {{L"USB\\VID_2A5F&PID_3500\\1", L""}, {L"USB\\VID_2A5F&PID_3500\\2", L""}},
       0,
       2},
      {"ids differing in letter case count once",
       {RecordLine({})},
       {{L"USB\\VID_2A5F&PID_3500\\ab", L""}, {L"usb\\vid_2a5f&pid_3500\\AB", L""}},
       0,
       1},
      {"recovery counted when no line is a record",
       {L"PID_4157 maintenance"},
       {{L"USB\\VID_2A5F&PID_3500\\1", L""}},
       0,
       1},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    FakePlatform p;
    frmMain f(p.program);
    p.html.pages[DatabaseAddress(f)] = FakePage{Page(row.lines), L"", 0};
    p.devices.devices = row.devices;
    EXPECT_EQ(FindConnectedPlayers(f), row.count);
    EXPECT_EQ(f.RecoveryDeviceCount, row.recovery);
  }
}

TEST_F(Matching, FortyLinesAndOneRecoveryDeviceGiveOneEntry) {
  std::vector<std::wstring> lines(40, RecordLine({}));
  ServeDatabase(Page(lines));
  Connect(L"USB\\VID_2A5F&PID_3500\\R1", L"");
  EXPECT_EQ(FindConnectedPlayers(form), 0);
  ASSERT_EQ(form.List1.ListCount(), 1);
  EXPECT_EQ(form.List1.List(0), L"USB\\VID_2A5F&PID_3500\\R1");
  EXPECT_EQ(form.RecoveryDeviceCount, 1);
  EXPECT_EQ(form.Combo_Choose_Player.ListCount(), 1);  // every line's serial suffix is N/A
}

TEST_F(Matching, AnUnusablePageKeepsWhatTheLastRunLeft) {
  Connect(L"USB\\VID_2A5F&PID_3500\\R1", L"");
  Record listed;
  listed.serial = L"0001";
  ServeDatabase(Page({RecordLine(listed)}));
  FindConnectedPlayers(form);
  ASSERT_EQ(form.RecoveryDeviceCount, 1);
  const auto lines = form.DatabaseLines;

  ServeDatabase(L"Service unavailable");
  EXPECT_EQ(FindConnectedPlayers(form), 0);
  EXPECT_FALSE(form.DatabaseAvailable);
  EXPECT_EQ(form.RecoveryDeviceCount, 0);
  EXPECT_EQ(form.List1.ListCount(), 0);
  EXPECT_EQ(form.DatabaseLines, lines);
  EXPECT_EQ(form.Combo_Choose_Player.ListCount(), 2);
}

TEST_F(Matching, AnUnreadableInventoryFailsBeforeTheFetch) {
  ServeDatabase(Page({RecordLine({})}));
  platform.devices.fails = true;
  form.DatabaseAvailable = false;
  EXPECT_THROW(FindConnectedPlayers(form), std::exception);
  EXPECT_FALSE(form.DatabaseAvailable);
  EXPECT_TRUE(platform.html.requests.empty());
}

// The walk as the wizard describes it: every device is visited again for every line.
struct Reference {
  int count = 0;
  std::vector<std::wstring> record;  // the last matched line's values
  std::vector<std::wstring> list1;
  std::vector<std::wstring> choices;
};

Reference LineMajor(const std::vector<std::wstring>& lines,
                    const std::vector<DeviceEntry>& devices) {
  Reference r;
  std::vector<std::wstring> list;
  for (const std::wstring& line : lines) {
    const std::vector<std::wstring> v = Split(line, L",");
    if (v.size() < 14) continue;
    if (UCase(Trim(v[5])) != L"N/A") r.choices.push_back(Trim(v[1]));
    const std::wstring key = Trim(UCase(Trim(v[1])));
    for (const DeviceEntry& d : devices) {
      const std::wstring id = Trim(UCase(d.pnpDeviceId));
      if (id.find(L"USB") == std::wstring::npos) continue;
      if (id.find(L"PID_3500") != std::wstring::npos) {
        list.push_back(d.pnpDeviceId);
      } else if (Trim(UCase(d.name)).find(L"ZANTERIX") != std::wstring::npos &&
                 key == NormalisedName(d.name)) {
        ++r.count;
        r.record = v;
      }
    }
  }
  for (const std::wstring& e : list) {
    bool seen = false;
    for (const std::wstring& k : r.list1) seen = seen || EqualsNoCase(k, e);
    if (!seen && !e.empty()) r.list1.push_back(e);
  }
  return r;
}

TEST_F(Matching, SameResultsAsTheLineMajorWalkOnGeneratedInputs) {
  std::mt19937 random(20261210);
  const wchar_t* models[] = {L"Zanterix Fernclip 200", L"Zanterix Fernclip 300",
                             L"zanterix fernclip 310", L" Zanterix Fernclip 50 ", L"Other Player"};
  const wchar_t* serials[] = {L"N/A", L" n/a", L"0001", L"AB12"};
  const wchar_t* ids[] = {L"USB\\VID_2A5F&PID_4157\\",
                          L"USBSTOR\\DISK&VEN_ZANTERIX\\",
                          L"USB\\VID_2A5F&PID_3500\\",
                          L"usb\\vid_2a5f&pid_3500\\",
                          L"PCI\\VEN_1\\",
                          L"HID\\VID_1\\"};
  const wchar_t* names[] = {L"Zanterix Fernclip 200 USB Device", L"ZANTERIX FERNCLIP 300",
                            L"zanterix fernclip 310 usb device", L"Zanterix Fernclip 50 USB Device",
                            L"Other Player USB Device",          L"USB Mass Storage Device"};
  auto pick = [&](const auto& options) {
    return options[random() % (sizeof options / sizeof options[0])];
  };
  for (int round = 0; round < 200; ++round) {
    std::vector<std::wstring> lines;
    const int lineCount = static_cast<int>(random() % 12);
    for (int i = 0; i < lineCount; ++i) {
      if (random() % 8 == 0) {
        lines.push_back(L"PID_4157 short line, 3");
        continue;
      }
      Record r;
      r.model = pick(models);
      r.serial = pick(serials);
      r.title = L"title " + std::to_wstring(i);
      lines.push_back(RecordLine(r));
    }
    std::vector<DeviceEntry> devices;
    const int deviceCount = static_cast<int>(random() % 10);
    for (int i = 0; i < deviceCount; ++i)
      devices.push_back({pick(ids) + std::to_wstring(random() % 3), pick(names)});
    std::wstring page = Page(lines);
    if (lines.empty() || random() % 2) page += L"PID_4157";  // a usable page, also without records

    FakePlatform p;
    frmMain f(p.program);
    p.html.pages[DatabaseAddress(f)] = FakePage{page, L"", 0};
    p.devices.devices = devices;
    const int count = FindConnectedPlayers(f);
    Reference expected = LineMajor(DatabasePageLines(page), devices);
    bool anyRecord = false;
    for (const std::wstring& l : lines) anyRecord = anyRecord || RecordValues(l).size() >= 14;
    if (!anyRecord) {
      // Recovery-mode devices count even when the page holds no record line.
      expected.list1 = LineMajor({RecordLine({})}, devices).list1;
    }
    SCOPED_TRACE(round);
    EXPECT_EQ(count, expected.count);
    ASSERT_EQ(f.List1.ListCount(), static_cast<int>(expected.list1.size()));
    for (int i = 0; i < f.List1.ListCount(); ++i) EXPECT_EQ(f.List1.List(i), expected.list1[i]);
    EXPECT_EQ(f.RecoveryDeviceCount, static_cast<int>(expected.list1.size()));
    ASSERT_EQ(f.Combo_Choose_Player.ListCount(), static_cast<int>(expected.choices.size()) + 1);
    for (std::size_t i = 0; i < expected.choices.size(); ++i)
      EXPECT_EQ(f.Combo_Choose_Player.List(static_cast<int>(i) + 1), expected.choices[i]);
    if (!expected.record.empty()) {
      EXPECT_EQ(f.PlayerModel, Trim(expected.record[1]));
      EXPECT_EQ(f.UpdaterTitle, Trim(UCase(expected.record[10])));
    } else {
      EXPECT_EQ(f.PlayerModel, L"");
    }
  }
}

}  // namespace
}  // namespace revivix::test
