#include "platform/win32/Win32SystemInfo.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Win32CodePage.h"

namespace revivix::win32 {

VersionRecord Win32SystemInfo::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes: the basic record
  // The wizard reads the version the system reports to programs, which is what this query gives.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
  VersionRecord record;
  if (!ok) return record;
  record.major = info.dwMajorVersion;
  record.minor = info.dwMinorVersion;
  record.build = info.dwBuildNumber;
  record.platformId = info.dwPlatformId;
  wchar_t servicePack[128] = {};
  MultiByteToWideChar(CP_ACP, 0, info.szCSDVersion, -1, servicePack, 128);
  record.servicePack = servicePack;
  return record;
}

namespace {

std::wstring FromAnsi(const char* text, int count) {
  if (count <= 0) return {};
  const int wide = MultiByteToWideChar(CP_ACP, 0, text, count, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
  if (wide > 0) MultiByteToWideChar(CP_ACP, 0, text, count, result.data(), wide);
  return result;
}

}  // namespace

std::wstring Win32SystemInfo::UserName() {
  char buffer[255] = {};
  DWORD size = sizeof buffer;
  // The size comes back with the terminating NUL counted.
  if (!GetUserNameA(buffer, &size) || size == 0) return {};
  return FromAnsi(buffer, static_cast<int>(size) - 1);
}

std::wstring Win32SystemInfo::ComputerName() {
  char buffer[32] = {};
  DWORD size = sizeof buffer;
  // Here the size comes back without the NUL.
  if (!GetComputerNameA(buffer, &size)) return {};
  return FromAnsi(buffer, static_cast<int>(size));
}

bool Win32SystemInfo::IsAdministratorsMember() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
  if (size == 0) {
    CloseHandle(token);
    return false;
  }
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token, TokenGroups, buffer.data(), size, &size)) {
    CloseHandle(token);
    return false;
  }
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    CloseHandle(token);
    return false;
  }
  bool member = false;
  if (IsValidSid(administrators)) {
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    // Every group of the token is examined, however many there are; membership alone counts,
    // whatever the group's attributes (a group for deny only included).
    for (DWORD i = 0; i < groups->GroupCount && !member; ++i) {
      PSID sid = groups->Groups[i].Sid;
      member = sid && IsValidSid(sid) && EqualSid(sid, administrators);
    }
  }
  FreeSid(administrators);
  CloseHandle(token);
  return member;
}

std::wstring Win32SystemInfo::ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      std::wstring full(path.data(), n);
      const auto cut = full.find_last_of(L"\\/");
      return cut == std::wstring::npos ? std::wstring() : full.substr(0, cut);
    }
    path.resize(path.size() * 2);  // the path was cut: try a larger buffer
  }
}

const CodePage& Win32SystemInfo::AnsiCodePage() {
  if (!ansi_) ansi_ = LoadCodePage(CP_ACP);
  return *ansi_;
}

std::uint16_t Win32SystemInfo::SystemDefaultLangID() {
  return static_cast<std::uint16_t>(GetSystemDefaultLangID());
}

int Win32SystemInfo::GetLocaleInfoW(std::uint32_t lcid, std::uint32_t type, wchar_t* data,
                                    int size) {
  return ::GetLocaleInfoW(static_cast<LCID>(lcid), static_cast<LCTYPE>(type), data, size);
}

int Win32SystemInfo::GetLocaleInfoA(std::uint32_t lcid, std::uint32_t type, wchar_t* data,
                                    int size) {
  if (size <= 0)
    return ::GetLocaleInfoA(static_cast<LCID>(lcid), static_cast<LCTYPE>(type), nullptr, 0);
  std::vector<char> ansi(static_cast<std::size_t>(size));
  const int count =
      ::GetLocaleInfoA(static_cast<LCID>(lcid), static_cast<LCTYPE>(type), ansi.data(), size);
  // Each ANSI byte becomes one character, so the count stays the one the system gave.
  for (int i = 0; i < count; ++i) {
    const char byte = ansi[static_cast<std::size_t>(i)];
    wchar_t wide = 0;
    if (MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1) != 1)
      wide = static_cast<wchar_t>(static_cast<unsigned char>(byte));
    data[i] = wide;
  }
  return count;
}

namespace {
// Twips per pixel of the screen, as whole numbers (15 at 96 dots per inch).
int TwipsPerPixel(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, axis) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return 1440 / (dpi > 0 ? dpi : 96);
}
}  // namespace

int Win32SystemInfo::TwipsPerPixelX() {
  return TwipsPerPixel(LOGPIXELSX);
}

int Win32SystemInfo::TwipsPerPixelY() {
  return TwipsPerPixel(LOGPIXELSY);
}

std::uint32_t Win32SystemInfo::SysColor(int index) {
  return static_cast<std::uint32_t>(GetSysColor(index));
}

}  // namespace revivix::win32
