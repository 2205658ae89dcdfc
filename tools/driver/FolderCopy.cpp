#include "driver/FolderCopy.h"

#include <windows.h>

namespace revivix::driver {

namespace {

bool IsDotEntry(const wchar_t* name) {
  return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0;
}

}  // namespace

bool CopyFolder(const std::wstring& from, const std::wstring& to) {
  if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return false;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  bool copied = true;
  do {
    if (IsDotEntry(entry.cFileName)) continue;
    const std::wstring source = from + L"\\" + entry.cFileName;
    const std::wstring target = to + L"\\" + entry.cFileName;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      copied = CopyFolder(source, target) && copied;
    else
      copied = CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE && copied;
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return copied;
}

bool RemoveFolder(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (IsDotEntry(entry.cFileName)) continue;
      const std::wstring item = path + L"\\" + entry.cFileName;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(item);
      } else {
        SetFileAttributesW(item.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(item.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::wstring MakeTemporaryFolder(const std::wstring& prefix) {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return {};
  std::wstring base(temp, n);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  // The process id and a running number keep concurrent and successive folders apart.
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring path = base + L"\\" + prefix + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(path.c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

}  // namespace revivix::driver
