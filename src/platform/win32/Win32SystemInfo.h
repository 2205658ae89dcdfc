// Facts about the computer from kernel32 and advapi32: the version record, the user's and the
// computer's names, administrator membership, the program's folder, the system language and the
// locale information.
#pragma once

#include <optional>

#include "platform/SystemInfo.h"

namespace revivix::win32 {

class Win32SystemInfo : public SystemInfo {
 public:
  VersionRecord Version() override;
  std::wstring UserName() override;
  std::wstring ComputerName() override;
  bool IsAdministratorsMember() override;
  std::wstring ProgramFolder() override;
  int TwipsPerPixelX() override;
  int TwipsPerPixelY() override;
  std::uint32_t SysColor(int index) override;
  std::uint16_t SystemDefaultLangID() override;
  int GetLocaleInfoW(std::uint32_t lcid, std::uint32_t type, wchar_t* data, int size) override;
  int GetLocaleInfoA(std::uint32_t lcid, std::uint32_t type, wchar_t* data, int size) override;
  // Read from the system once, on first use.
  const CodePage& AnsiCodePage() override;

 private:
  std::optional<CodePage> ansi_;
};

}  // namespace revivix::win32
