// Texts between the Windows programs' UTF-16 and the UTF-8 of arguments, files and messages.
#pragma once

#include <string>

namespace revivix::driver {

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

}  // namespace revivix::driver
