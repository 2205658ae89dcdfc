// This program's own version number, set once by the build (the project's version) and shared
// by the version resource and the update check.
#pragma once

namespace revivix {

inline constexpr wchar_t kProgramVersion[] = L"" REVIVIX_VERSION;

}  // namespace revivix
