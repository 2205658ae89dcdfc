#include "driver/Paths.h"

#include "driver/Text.h"

namespace revivix::driver {

std::wstring WindowsPath(const std::string& path) {
  std::wstring wide = Wide(path);
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
