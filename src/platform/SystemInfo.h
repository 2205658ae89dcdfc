// Facts about the computer and the session the program runs in.
#pragma once

#include <cstdint>
#include <string>

#include "common/CodePage.h"

namespace revivix {

// The basic version record of the version query.
struct VersionRecord {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = 0;  // 2 for the NT family
  std::wstring servicePack;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual VersionRecord Version() = 0;
  // The logged-on user's name and the computer's name, each "" when the query fails.
  virtual std::wstring UserName() = 0;
  virtual std::wstring ComputerName() = 0;
  // True when the access token of this process holds the built-in Administrators group (S-1-5-32-
  // 544) among its groups, whatever the group's attributes (enabled or for deny only); false
  // when the token or its groups cannot be read.
  virtual bool IsAdministratorsMember() = 0;
  // The folder the program was started from, without a trailing "\".
  virtual std::wstring ProgramFolder() = 0;

  // Twips per screen pixel in each direction (15 at 96 dots per inch).
  virtual int TwipsPerPixelX() = 0;
  virtual int TwipsPerPixelY() = 0;
  // A system colour (&HBBGGRR) by its index; 15 is the button face.
  virtual std::uint32_t SysColor(int index) = 0;

  // The system's default language identifier.
  virtual std::uint16_t SystemDefaultLangID() = 0;
  // Locale information with the platform's buffer rules: with size 0 the needed size (including
  // the terminator) is returned; otherwise the text and its terminator are written and their
  // count returned; 0 when there is no such information or the buffer is too small.
  virtual int GetLocaleInfoW(std::uint32_t lcid, std::uint32_t type, wchar_t* data, int size) = 0;
  // The same in the ANSI code page, already converted to UTF-16 (one character per ANSI byte
  // counted as the platform counts them).
  virtual int GetLocaleInfoA(std::uint32_t lcid, std::uint32_t type, wchar_t* data, int size) = 0;

  // The system's ANSI code page, which the settings file and the texts of the ANSI functions
  // are in. The object lives as long as this one.
  virtual const CodePage& AnsiCodePage() = 0;
};

}  // namespace revivix
