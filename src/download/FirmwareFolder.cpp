#include "download/FirmwareFolder.h"

#include "app/frmMain.h"
#include "common/Text.h"

namespace revivix {

namespace {

// Deeper than any folder the wizard itself makes; a deeper tree is left, and the clear fails.
constexpr int kMaxDepth = 32;

bool Clear(FolderGuard& guard, const std::wstring& folder, const std::wstring& keep, int depth) {
  if (depth > kMaxDepth) return false;
  const auto names = guard.List(folder);
  if (!names) return false;
  bool cleared = true;
  for (const std::wstring& name : *names) {
    const std::wstring path = folder + L"\\" + name;
    switch (guard.Examine(path)) {
      case FolderGuard::Kind::Missing:
        break;
      case FolderGuard::Kind::Link:
        cleared = guard.RemoveLink(path) && cleared;
        break;
      case FolderGuard::Kind::Folder:
        cleared = Clear(guard, path, L"", depth + 1) && guard.RemoveFolder(path) && cleared;
        break;
      case FolderGuard::Kind::File:
        if (!keep.empty() && EqualsNoCase(name, keep)) break;
        cleared = guard.RemoveFile(path) && cleared;
        break;
      case FolderGuard::Kind::Unknown:
        cleared = false;
        break;
    }
  }
  return cleared;
}

}  // namespace

std::wstring FirmwareFolder(frmMain& form) {
  return form.program.ports.system.ProgramFolder() + L"\\FW";
}

std::unique_ptr<FolderHold> PrepareFirmwareFolder(FolderGuard& guard, const std::wstring& folder) {
  switch (guard.Examine(folder)) {
    case FolderGuard::Kind::Link:
      // Whoever could plant the link chose where it points: only the link goes.
      if (!guard.RemoveLink(folder)) return nullptr;
      [[fallthrough]];
    case FolderGuard::Kind::Missing:
      if (!guard.CreateProtectedFolder(folder)) return nullptr;
      break;
    case FolderGuard::Kind::Folder:
      break;
    case FolderGuard::Kind::File:
    case FolderGuard::Kind::Unknown:
      // A file of that name is not the wizard's to delete; no updater can be kept then.
      return nullptr;
  }
  // Pinned first, so the folder judged below is the one worked in: nobody can swap it for
  // another folder or a link afterwards.
  std::unique_ptr<FolderHold> pin = guard.HoldFolder(folder);
  if (!pin) return nullptr;
  // What others could put there before is not the wizard's: it goes before the folder is
  // closed to them.
  if (guard.OthersMayWrite(folder) &&
      !(ClearFolder(guard, folder, L"") && guard.ApplyProtection(folder)))
    return nullptr;
  return pin;
}

void DeleteDownloadedUpdater(frmMain& form) {
  form.updaterHold.reset();
  if (form.UpdaterPath.empty()) return;
  if (form.program.ports.folders.Examine(FirmwareFolder(form)) != FolderGuard::Kind::Folder) return;
  FileSystem& files = form.program.SharedFileSystem();
  if (files.FileExists(form.UpdaterPath)) files.DeleteFiles(form.UpdaterPath);
}

bool ClearFolder(FolderGuard& guard, const std::wstring& folder, const std::wstring& keep) {
  return Clear(guard, folder, keep, 0);
}

}  // namespace revivix
