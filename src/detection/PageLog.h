// A web page read for the wizard, with its line in the repair log: the address, the final HTTP
// status, the bytes, the time it took and the outcome (usable, not usable, failed, timed out).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/frmMain.h"
#include "platform/HtmlEngine.h"

namespace revivix {

struct LoggedPage {
  std::unique_ptr<HtmlDocument> document;
  std::wstring url;
  std::uint64_t startedMs = 0;
};

// Loads `url` as LoadHtmlDocument does (the wait ends when the wizard quits).
LoggedPage LoadLoggedPage(frmMain& form, const std::wstring& url);

// True when the fetch brought a page at all: complete, answered, with a status below 400 and not
// timed out. Only such a page can be usable.
bool PageArrived(LoggedPage& page);

// Writes the page's line; `usable` is the reader's verdict on a page that arrived.
void LogPage(frmMain& form, LoggedPage& page, const wchar_t* what, bool usable);

}  // namespace revivix
