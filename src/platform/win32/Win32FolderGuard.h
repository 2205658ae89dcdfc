// The folder calls on the Windows file system: descriptors from SDDL through the security
// functions of advapi32, links told by FILE_ATTRIBUTE_REPARSE_POINT and removed as links, and the
// holds as handles: a file opened for reading with only FILE_SHARE_READ, a folder opened without
// FILE_SHARE_DELETE (so it cannot be renamed or deleted).
#pragma once

#include "platform/FolderGuard.h"

namespace revivix::win32 {

// The descriptor of the wizard's own folder: Administrators own it; only they and SYSTEM may
// write; Users may read and run what is inside. Protected from what the parent passes on, and
// passed on to every file and folder made inside.
extern const wchar_t* const kProtectedFolderSddl;

class Win32FolderGuard : public FolderGuard {
 public:
  Kind Examine(const std::wstring& path) override;
  bool CreateProtectedFolder(const std::wstring& path) override;
  bool RemoveLink(const std::wstring& path) override;
  bool OthersMayWrite(const std::wstring& folder) override;
  bool ApplyProtection(const std::wstring& folder) override;
  std::optional<std::vector<std::wstring>> List(const std::wstring& folder) override;
  bool RemoveFile(const std::wstring& path) override;
  bool RemoveFolder(const std::wstring& path) override;
  std::unique_ptr<FileHold> Hold(const std::wstring& path) override;
  std::unique_ptr<FolderHold> HoldFolder(const std::wstring& folder) override;
};

}  // namespace revivix::win32
