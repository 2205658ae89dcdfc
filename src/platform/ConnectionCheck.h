// The Internet check: can the maker's site be reached now? Kept apart from the download port: it
// is the start-up check's only service and blocks until it has an answer.
#pragma once

#include <string>

namespace revivix {

class ConnectionCheck {
 public:
  virtual ~ConnectionCheck() = default;
  // True when a connection to the host of `url` could be made (a connection is forced, not
  // taken from any cached state). The connection is made directly, past any proxy.
  virtual bool CanConnect(const std::wstring& url) = 0;
  // True when one request for `url`, made the way the page fetches make it (through the system's
  // proxy settings), got an HTTP answer of any status within `limitMs`. A proxy's own answer
  // counts: the way out works, and a refusal is the fetch's failure to report. Returns at the
  // latest about `limitMs` after the call, answered or not.
  virtual bool RequestAnswers(const std::wstring& url, int limitMs) = 0;
};

}  // namespace revivix
