// The wizard's own folder for the downloaded updater, and the hold on the file it starts. The
// wizard runs with administrator rights, and the folder beside the program may lie where any
// program of the user can write (an unpacked zip in Downloads, say): these are the calls that keep
// the folder to administrators and pin the checked file until it has been started.
// Paths are written the Windows way ("\" between names); letter case in names does not matter.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace revivix {

// An open file that nobody else can write, rename or delete while it lasts; others may read it.
// Destroying it releases the file.
class FileHold {
 public:
  virtual ~FileHold() = default;
  // The held file's whole contents, read through the hold; nothing when it cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> ReadAll() = 0;
};

// A folder that nobody else can rename or delete while it lasts (so it cannot be swapped for
// another folder or a link); what is inside stays as open as the folder's descriptor lets it be.
class FolderHold {
 public:
  virtual ~FolderHold() = default;
};

class FolderGuard {
 public:
  // What a path names, without following a link: a junction or a symbolic link is a Link
  // whatever it points at.
  enum class Kind { Missing, File, Folder, Link, Unknown };

  virtual ~FolderGuard() = default;
  virtual Kind Examine(const std::wstring& path) = 0;
  // Creates the folder with a descriptor that lets only Administrators and SYSTEM write, passed
  // on to everything made inside it; false when it cannot be created so.
  virtual bool CreateProtectedFolder(const std::wstring& path) = 0;
  // Removes the link itself, never anything at its target.
  virtual bool RemoveLink(const std::wstring& path) = 0;
  // True when anyone but Administrators and SYSTEM may add, change or remove entries of the
  // folder or change its descriptor (its owner may), or when that cannot be told.
  virtual bool OthersMayWrite(const std::wstring& folder) = 0;
  // Gives an existing folder the descriptor of CreateProtectedFolder (Administrators its owner).
  virtual bool ApplyProtection(const std::wstring& folder) = 0;
  // The names in the folder ("." and ".." left out); nothing when it cannot be listed.
  virtual std::optional<std::vector<std::wstring>> List(const std::wstring& folder) = 0;
  // Deletes one file, a read-only one too.
  virtual bool RemoveFile(const std::wstring& path) = 0;
  // Removes one empty folder.
  virtual bool RemoveFolder(const std::wstring& path) = 0;
  // Opens the file for reading with others allowed to read only; null when it cannot be held so
  // (it is missing, in use by a writer, or not a plain file).
  virtual std::unique_ptr<FileHold> Hold(const std::wstring& path) = 0;
  // Pins the folder itself (never a link's target); null when it is no real folder or cannot be
  // pinned.
  virtual std::unique_ptr<FolderHold> HoldFolder(const std::wstring& folder) = 0;
};

}  // namespace revivix
