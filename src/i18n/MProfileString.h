// The one way to obtain a user-visible text: a lookup in the language file.
#pragma once

#include <cstdint>
#include <string>

#include "app/Program.h"

namespace revivix {

std::wstring GetIniString(Program& program, const std::wstring& section, const std::wstring& key,
                          const std::wstring& fallback, std::int32_t size,
                          const std::wstring& fileName);

}  // namespace revivix
