#include "i18n/IWinAPI.h"

namespace revivix {

std::int32_t ForwardingWinAPI::WritePrivateProfileString(const std::wstring& applicationName,
                                                         const std::wstring& keyName,
                                                         const std::wstring& value,
                                                         const std::wstring& fileName) {
  return library_.WritePrivateProfileStringW(applicationName, keyName, value, fileName);
}

std::int32_t ForwardingWinAPI::GetPrivateProfileString(
    const std::wstring& applicationName, const std::wstring& keyName, const std::wstring& fallback,
    std::wstring& returnedString, std::int32_t size, const std::wstring& fileName) {
  if (size <= 0 || returnedString.size() < static_cast<std::size_t>(size)) return 0;
  return static_cast<std::int32_t>(
      library_.GetPrivateProfileStringW(applicationName, keyName, fallback, returnedString.data(),
                                        static_cast<std::uint32_t>(size), fileName));
}

}  // namespace revivix
