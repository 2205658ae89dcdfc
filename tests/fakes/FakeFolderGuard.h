// The folder calls on the real files of a test's temporary program folder. A folder's descriptor
// is the fake's own record: the folders it created or protected are administrators-only, and a
// test marks a folder as one that others may write. Links are real symbolic links, examined and
// removed as links. Every call is written down in order, with a hold's read and release.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/FolderGuard.h"

namespace revivix::test {

class FakeFolderGuard : public FolderGuard {
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

  // Another program's open of the file for writing: refused while the wizard holds it.
  bool OpenForWriting(const std::wstring& path) const;
  bool IsHeld(const std::wstring& path) const;
  // Another program's rename or delete of a folder: refused while the wizard pins it.
  bool MoveFolderAway(const std::wstring& folder) const { return !IsPinned(folder); }
  bool IsPinned(const std::wstring& folder) const;
  // Marks a folder as one that others may write (a folder the user unpacked).
  void OpenToOthers(const std::wstring& folder);

  // "create <name>", "remove link <name>", "protect <name>", "remove <name>", "pin <name>",
  // "unpin <name>", "hold <name>", "read <name>", "release <name>" (the last name of the path),
  // and what Note adds.
  std::vector<std::string> calls;
  void Note(const std::string& call) { calls.push_back(call); }

  // Another program has the file open for writing: it cannot be held.
  void OpenByAnotherWriter(const std::wstring& path);
  // A file or folder that cannot be removed (in use by another program, say).
  void Undeletable(const std::wstring& path);
  bool createFails = false;
  bool protectFails = false;

 private:
  friend class FakeFileHold;
  friend class FakeFolderHold;
  std::multiset<std::wstring> pinned_;
  std::set<std::wstring> open_;  // folders others may write
  std::multiset<std::wstring> held_;
  std::set<std::wstring> writers_;
  std::set<std::wstring> undeletable_;
};

}  // namespace revivix::test
