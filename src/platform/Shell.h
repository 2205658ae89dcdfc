// The shell: opens a file (a program starts) or a web address (the user's browser opens it).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace revivix {

class Shell {
 public:
  virtual ~Shell() = default;
  // Runs `verb` ("open") on `file` with the wizard's window as owner. The result is the
  // platform's: above 32 when the shell took the request.
  virtual std::intptr_t Execute(const std::wstring& verb, const std::wstring& file,
                                const std::wstring& parameters, const std::wstring& directory,
                                int showCommand) = 0;
  // Whether the process the last Execute started has ended since; no value when that Execute
  // started no process the shell can follow (a web address, a failed start).
  virtual std::optional<bool> StartedProcessEnded() { return std::nullopt; }
};

}  // namespace revivix
