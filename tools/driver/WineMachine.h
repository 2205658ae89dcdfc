// The machine a Wine test or the demo pretends to be: the Windows version Wine reports to one
// program, and USB devices in the system's device list. Both live in the Wine prefix's registry,
// so whoever sets them removes them again.
#pragma once

#include <string>

namespace revivix::driver {

// Wine reports this version ("winxp", "win2003", "vista", "win7", ...) to every program started
// later under this executable name ("fernclip.exe").
bool SetWindowsVersionFor(const std::wstring& exeName, const std::wstring& version);
// Back to Wine's default for that name.
bool ClearWindowsVersionFor(const std::wstring& exeName);

// A present USB device: its instance key "<device>\<instance>" below Enum\USB (for example
// "VID_2A5F&PID_4157\FC200TEST1"), its friendly name (left out when "") and its description.
bool AddUsbDevice(const std::wstring& instancePath, const std::wstring& friendlyName,
                  const std::wstring& description);
// Removes the instance, and its device key when no other instance is left below it. True when
// the instance is gone afterwards.
bool RemoveUsbDevice(const std::wstring& instancePath);

}  // namespace revivix::driver
