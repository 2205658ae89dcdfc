// Copies and removes whole folders, so each run of the wizard can have its own runnable folder
// (the program beside its language, license and settings files) without touching the build's.
#pragma once

#include <string>

namespace revivix::driver {

// Copies `from` with all its files and subfolders (empty ones included) into `to`, which is
// created. False when anything could not be copied.
bool CopyFolder(const std::wstring& from, const std::wstring& to);

// Deletes the folder and everything in it; true when it is gone afterwards.
bool RemoveFolder(const std::wstring& path);

// A new, empty folder below the user's temporary folder whose name starts with `prefix`; "" when
// none could be made.
std::wstring MakeTemporaryFolder(const std::wstring& prefix);

}  // namespace revivix::driver
