#include "app/RunLog.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "common/Text.h"

namespace revivix {

namespace {

std::string Stamp(const LocalTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  return text;
}

// The text on one line: a line break or other control character from outside (a window title,
// a page's address) would start a line of its own.
std::wstring OneLine(std::wstring_view text) {
  std::wstring line;
  const std::size_t keep = std::min(text.size(), RunLog::kMaxTextLength);
  line.reserve(keep);
  for (std::size_t i = 0; i < keep; ++i) {
    const wchar_t c = text[i];
    line.push_back(c < 0x20 || c == 0x7F ? L' ' : c);
  }
  if (keep < text.size()) line += L"... (" + std::to_wstring(text.size()) + L" characters)";
  return line;
}

}  // namespace

void RunLog::Start(const std::wstring& folder) {
  if (started_) return;
  try {
    path_ = folder + L"\\" + kFileName;
    const std::optional<std::uint64_t> size = file_.Size(path_);
    // A rename that fails leaves the old log growing; the run goes on either way.
    if (size && *size > kRotateBytes) file_.Rename(path_, folder + L"\\" + kOldFileName);
    started_ = true;
  } catch (const std::exception&) {
    broken_ = true;
  }
}

void RunLog::Write(std::wstring_view tag, std::wstring_view text) {
  if (!started_ || broken_) return;
  try {
    std::string line = Stamp(clock_.Now());
    line += " [" + ToUtf8(tag) + "] " + ToUtf8(OneLine(text)) + "\r\n";
    if (!file_.Append(path_, line)) broken_ = true;
  } catch (const std::exception&) {
    broken_ = true;
  }
}

bool RunLog::First(const std::wstring& key) {
  try {
    return seen_.insert(key).second;
  } catch (const std::exception&) {
    return false;
  }
}

std::uint64_t RunLog::Milliseconds() {
  try {
    return clock_.Milliseconds();
  } catch (const std::exception&) {
    return 0;
  }
}

std::wstring LogAddress(std::wstring_view address) {
  std::wstring text(address);
  const std::size_t scheme = text.find(L"://");
  const std::size_t hostStart = scheme == std::wstring::npos ? 0 : scheme + 3;
  const std::size_t hostEnd = text.find_first_of(L"/?#", hostStart);
  const std::size_t at = text.rfind(L'@', hostEnd == std::wstring::npos ? text.size() : hostEnd);
  if (at != std::wstring::npos && at >= hostStart) text.erase(hostStart, at + 1 - hostStart);
  return text;
}

std::wstring LogFileName(std::wstring_view path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

std::wstring LogLength(std::wstring_view text) {
  return std::to_wstring(text.size()) + (text.size() == 1 ? L" character" : L" characters");
}

}  // namespace revivix
