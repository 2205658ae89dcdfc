// Database pages for the detection tests: record lines built from the few values a test cares
// about, and a maker site on the fake platform that serves them.
#pragma once

#include <string>
#include <vector>

#include "FormFixture.h"
#include "app/Version.h"
#include "detection/SiteAddress.h"

namespace revivix::test {

struct Record {
  std::wstring model = L"Zanterix Fernclip 200";
  std::wstring osLevel = L"2";
  std::wstring mediaPlayer = L"10";
  std::wstring mode = L"MSC";
  std::wstring serial = L"N/A";
  std::wstring version = kProgramVersion;
  std::wstring updateUrl = L"http://www.zanterix.com/revivix/get.htm";
  std::wstring title = L"Fernclip 200 Firmware Updater";
};

// One line of 14 values; value 0 names the maker's product identifier, as the real page does.
inline std::wstring RecordLine(const Record& r) {
  return L"PID_4157," + r.model + L"," + r.osLevel + L"," + r.mediaPlayer + L"," + r.mode + L"," +
         r.serial + L",fc200.htm,http://eu.example/fw/,http://www.example/fw/,x," + r.title +
         L",http://www.zanterix.com/support/fc200," + r.version + L"," + r.updateUrl;
}

// Lines joined by CR LF, with a line break after the last one as a page usually has it.
inline std::wstring Page(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\r\n";
  return text;
}

struct DetectionTest : FormTest {
  // The site answers, and the database page renders as `text`.
  void ServeDatabase(const std::wstring& text, std::int64_t delayMs = 0) {
    platform.connection.reachable.insert(SiteAddress(platform.program));
    platform.html.pages[DatabaseAddress(form)] = FakePage{text, L"<html>" + text, delayMs};
  }
  void Connect(const std::wstring& id, const std::wstring& name) {
    platform.devices.devices.push_back({id, name});
  }
  // A language file whose every message reads as its own key, so a test sees which one shows.
  void KeysAsTexts() {
    std::string text = "[Strings]\r\n";
    for (const char* key :
         {"IDS_ADMIN_ERROR_MSG", "IDS_OS_NOT_SUPPORTED", "IDS_NO_INTERNET_CONNECTION",
          "IDS_PID_DATABASE_CONNECTION_FAILED", "IDS_MORE_DEVICES_FOUND",
          "IDS_NO_DEVICE_FOUND_MSG01", "IDS_NO_VISTA_UPDATES", "IDS_WMP11_NOT_SUPPORTED",
          "IDS_ENTER_PLAYER_SNO", "IDS_CHOOSE_REGION_LANGUAGE"})
      text += std::string(key) + "=" + key + "\r\n";
    platform.WriteFile("Languages/English.txt", text);
  }
};

}  // namespace revivix::test
