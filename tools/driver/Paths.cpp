#include "driver/Paths.h"

#include <windows.h>

namespace revivix::driver {

std::wstring WindowsPath(const std::string& path) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
  wide.resize(wide.size() - 1);
  if (!wide.empty() && wide[0] == L'/') {
    for (auto& c : wide)
      if (c == L'/') c = L'\\';
    wide = L"Z:" + wide;
  }
  return wide;
}

std::wstring FileNameOf(const std::wstring& path) {
  const auto cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  const auto cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

}  // namespace revivix::driver
