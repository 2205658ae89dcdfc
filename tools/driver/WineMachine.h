// The machine a Wine test or the demo pretends to be: the Windows version Wine reports to one
// program, USB devices in the system's device list, the browser that web addresses go to, the
// screen's resolution, the proxy of Internet Options and the trusted certificate authorities.
// All of it lives in the Wine prefix, which every test of a lane shares, so one WineMachine per
// run owns it: it starts from Wine's defaults and puts back everything it set when it ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace revivix::driver {

class WineMachine {
 public:
  // Removes what a run stopped before its clean-up may have left behind: the Windows version of
  // fernclip.exe and the simulated players.
  WineMachine();
  // Puts back everything it set (Restore).
  ~WineMachine();
  WineMachine(const WineMachine&) = delete;
  WineMachine& operator=(const WineMachine&) = delete;

  // True when the construction found or made the machine clean.
  bool StartedClean() const { return startedClean_; }

  // Wine reports this version ("winxp", "win2003", "vista", "win7", ...) to every program started
  // later under this executable name ("fernclip.exe").
  bool SetWindowsVersion(const std::wstring& exeName, const std::wstring& version);
  // A present USB device: its instance key "<device>\<instance>" below Enum\USB (for example
  // "VID_2A5F&PID_4157\FC200TEST1"), its friendly name (left out when "") and its description.
  bool AddUsbDevice(const std::wstring& instancePath, const std::wstring& friendlyName,
                    const std::wstring& description);
  // Web addresses opened through the shell go to this command (Wine's winebrowser).
  bool SetBrowser(const std::wstring& command);
  // The dots per inch of the screen for the programs started from now on (LogPixels).
  bool SetScreenDpi(DWORD dpi);
  // The proxy of Internet Options ("host:port"), switched on.
  bool SetProxy(const std::wstring& server);
  // A certificate authority (DER) trusted in the user's root store.
  bool TrustAuthority(const std::string& der);

  // Puts back everything set so far, the last first; true when all of it is as it was. The
  // machine can be set again afterwards.
  bool Restore();

 private:
  bool SetValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD type,
                const void* data, DWORD size);

  std::vector<std::function<bool()>> undo_;
  bool startedClean_ = false;
};

}  // namespace revivix::driver
