// The Internet check: can a connection to the server of an address be made now? Kept apart from
// the download port: it is the start-up check's only service and blocks until it has an answer.
#pragma once

#include <string>

namespace revivix {

class ConnectionCheck {
 public:
  virtual ~ConnectionCheck() = default;
  // True when a connection to the host of `url` could be made (a connection is forced, not
  // taken from any cached state).
  virtual bool CanConnect(const std::wstring& url) = 0;
};

}  // namespace revivix
