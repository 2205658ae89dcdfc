// The profile-string layer beneath every text lookup. Two implementations forward unchanged to
// the W functions of one library each; MWin32 picks one per run by the Windows family.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ProfileStrings.h"

namespace revivix {

class IWinAPI {
 public:
  virtual ~IWinAPI() = default;
  virtual std::int32_t WritePrivateProfileString(const std::wstring& applicationName,
                                                 const std::wstring& keyName,
                                                 const std::wstring& value,
                                                 const std::wstring& fileName) = 0;
  // Writes into the caller's buffer in place; returns the count of characters written.
  virtual std::int32_t GetPrivateProfileString(const std::wstring& applicationName,
                                               const std::wstring& keyName,
                                               const std::wstring& fallback,
                                               std::wstring& returnedString, std::int32_t size,
                                               const std::wstring& fileName) = 0;
};

// Forwards to a library's profile functions.
class ForwardingWinAPI : public IWinAPI {
 public:
  explicit ForwardingWinAPI(ProfileStrings& library) : library_(library) {}
  std::int32_t WritePrivateProfileString(const std::wstring& applicationName,
                                         const std::wstring& keyName, const std::wstring& value,
                                         const std::wstring& fileName) override;
  std::int32_t GetPrivateProfileString(const std::wstring& applicationName,
                                       const std::wstring& keyName, const std::wstring& fallback,
                                       std::wstring& returnedString, std::int32_t size,
                                       const std::wstring& fileName) override;

 private:
  ProfileStrings& library_;
};

// The kernel32 functions, used on the NT family.
class CWinAPIUnicode : public ForwardingWinAPI {
 public:
  using ForwardingWinAPI::ForwardingWinAPI;
};

// The functions of unicows.dll, used on the older Windows family.
class CWinAPIANSI : public ForwardingWinAPI {
 public:
  using ForwardingWinAPI::ForwardingWinAPI;
};

}  // namespace revivix
