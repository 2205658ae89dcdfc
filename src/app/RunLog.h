// The repair log: revivix.log beside the settings file, one line per event of the run, each
// with the local time to the millisecond and a short tag naming the subsystem. It is appended by
// every run and rotated at start once it has grown past 1 MiB. Writing it never stops, slows or
// shows anything: a log that cannot be written is given up for the rest of the run.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/LogFile.h"

namespace revivix {

// The subsystem tags, as the log writes them.
namespace logtag {
inline constexpr wchar_t kRun[] = L"run";        // the program, its start and its end
inline constexpr wchar_t kSystem[] = L"system";  // the machine the checks saw
inline constexpr wchar_t kLanguage[] = L"lang";  // language and region, and where they came from
inline constexpr wchar_t kCheck[] = L"check";    // each start-up check and its outcome
inline constexpr wchar_t kFetch[] = L"fetch";    // each web page read
inline constexpr wchar_t kDetect[] = L"detect";  // database lines, maker devices, matches
inline constexpr wchar_t kModel[] = L"model";    // the player chosen and how
inline constexpr wchar_t kLink[] = L"link";      // the updater's address and file name
inline constexpr wchar_t kDownload[] = L"download";  // the updater's transfer and its checks
inline constexpr wchar_t kUpdater[] = L"updater";    // the file started and its SHA-256
inline constexpr wchar_t kAutomation[] = L"auto";    // windows found, clicks, dialogs answered
inline constexpr wchar_t kResult[] = L"result";      // the updater's result as read
inline constexpr wchar_t kPage[] = L"page";          // a message page shown
}  // namespace logtag

class RunLog {
 public:
  static constexpr std::uint64_t kRotateBytes = 1024 * 1024;
  static constexpr wchar_t kFileName[] = L"revivix.log";
  static constexpr wchar_t kOldFileName[] = L"revivix.1.log";

  RunLog(Clock& clock, LogFile& file) : clock_(clock), file_(file) {}
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Opens the run's log in `folder` (the program's folder): a log past kRotateBytes becomes
  // the old log, replacing an older one, and a new one begins. Nothing is written before.
  void Start(const std::wstring& folder);
  bool Started() const { return started_; }
  // One line: the time stamp, the tag and `text` (cut at kMaxTextLength, control characters
  // shown as blanks). Nothing happens before Start or once a write has failed.
  void Write(std::wstring_view tag, std::wstring_view text);
  // True the first time `key` is given in this run: an event that every timer tick sees again
  // is written once.
  bool First(const std::wstring& key);
  // The clock's milliseconds, for the durations the lines give.
  std::uint64_t Milliseconds();

  // How the run is being ended, set by the button or timer that ends it; the end's line says it.
  std::wstring endCause;

  static constexpr std::size_t kMaxTextLength = 600;

 private:
  Clock& clock_;
  LogFile& file_;
  std::wstring path_;
  bool started_ = false;
  bool broken_ = false;
  std::set<std::wstring> seen_;
};

// An address as the log gives it: without a user name or password before the host.
std::wstring LogAddress(std::wstring_view address);
// The last name of a path: the log names files, never the folders of the user's profile.
std::wstring LogFileName(std::wstring_view path);
// "7 characters": what the log says of a private text.
std::wstring LogLength(std::wstring_view text);

}  // namespace revivix
