// Paths handed to Windows programs by the Linux build: Wine shows the Linux root as drive Z:.
#pragma once

#include <string>

namespace revivix::driver {

// "/a/b.exe" becomes "Z:\a\b.exe"; a path that already is a Windows path is kept.
std::wstring WindowsPath(const std::string& path);

// The file name part of a path ("C:\x\y.exe" gives "y.exe").
std::wstring FileNameOf(const std::wstring& path);

// The folder part of a path, without the trailing "\".
std::wstring FolderOf(const std::wstring& path);

}  // namespace revivix::driver
