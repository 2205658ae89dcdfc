#include "fakes/FakeFolderGuard.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/Text.h"
#include "platform/FileSystem.h"

namespace fs = std::filesystem;

namespace revivix::test {

namespace {

// One spelling per file, whatever the letter case and the separators of the path given.
std::wstring Key(const std::wstring& path) {
  std::wstring key = UCase(path);
  for (auto& c : key)
    if (c == L'/') c = L'\\';
  return key;
}

std::string LastName(const std::wstring& path) {
  const auto cut = path.find_last_of(L"\\/");
  return ToUtf8(cut == std::wstring::npos ? path : path.substr(cut + 1));
}

}  // namespace

class FakeFileHold : public FileHold {
 public:
  FakeFileHold(FakeFolderGuard& guard, std::wstring path) : guard_(guard), path_(std::move(path)) {
    guard_.held_.insert(Key(path_));
  }
  ~FakeFileHold() override {
    guard_.held_.erase(guard_.held_.find(Key(path_)));
    guard_.Note("release " + LastName(path_));
  }
  std::optional<std::vector<std::uint8_t>> ReadAll() override {
    guard_.Note("read " + LastName(path_));
    std::ifstream in(StdPath(path_), std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
  }

 private:
  FakeFolderGuard& guard_;
  std::wstring path_;
};

class FakeFolderHold : public FolderHold {
 public:
  FakeFolderHold(FakeFolderGuard& guard, std::wstring path)
      : guard_(guard), path_(std::move(path)) {
    guard_.pinned_.insert(Key(path_));
  }
  ~FakeFolderHold() override {
    guard_.pinned_.erase(guard_.pinned_.find(Key(path_)));
    guard_.Note("unpin " + LastName(path_));
  }

 private:
  FakeFolderGuard& guard_;
  std::wstring path_;
};

FolderGuard::Kind FakeFolderGuard::Examine(const std::wstring& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(StdPath(path), ec);
  if (ec || !fs::exists(status)) return Kind::Missing;
  if (fs::is_symlink(status)) return Kind::Link;
  if (fs::is_directory(status)) return Kind::Folder;
  if (fs::is_regular_file(status)) return Kind::File;
  return Kind::Unknown;
}

bool FakeFolderGuard::CreateProtectedFolder(const std::wstring& path) {
  Note("create " + LastName(path));
  std::error_code ec;
  if (createFails || !fs::create_directory(StdPath(path), ec)) return false;
  open_.erase(Key(path));
  return true;
}

bool FakeFolderGuard::RemoveLink(const std::wstring& path) {
  Note("remove link " + LastName(path));
  if (Examine(path) != Kind::Link) return false;
  std::error_code ec;
  return fs::remove(StdPath(path), ec);  // the link, never its target
}

bool FakeFolderGuard::OthersMayWrite(const std::wstring& folder) {
  return open_.count(Key(folder)) != 0;
}

bool FakeFolderGuard::ApplyProtection(const std::wstring& folder) {
  Note("protect " + LastName(folder));
  if (protectFails || Examine(folder) != Kind::Folder) return false;
  open_.erase(Key(folder));
  return true;
}

std::optional<std::vector<std::wstring>> FakeFolderGuard::List(const std::wstring& folder) {
  if (Examine(folder) != Kind::Folder) return std::nullopt;
  std::vector<std::wstring> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(StdPath(folder), ec))
    names.push_back(FromUtf8(entry.path().filename().string()));
  if (ec) return std::nullopt;
  return names;
}

bool FakeFolderGuard::RemoveFile(const std::wstring& path) {
  Note("remove " + LastName(path));
  if (Examine(path) != Kind::File || IsHeld(path) || undeletable_.count(Key(path))) return false;
  std::error_code ec;
  fs::permissions(StdPath(path), fs::perms::owner_write, fs::perm_options::add, ec);
  return fs::remove(StdPath(path), ec);
}

bool FakeFolderGuard::RemoveFolder(const std::wstring& path) {
  Note("remove " + LastName(path));
  if (Examine(path) != Kind::Folder || undeletable_.count(Key(path))) return false;
  std::error_code ec;
  return fs::remove(StdPath(path), ec);  // only an empty one goes
}

std::unique_ptr<FileHold> FakeFolderGuard::Hold(const std::wstring& path) {
  Note("hold " + LastName(path));
  if (Examine(path) != Kind::File || writers_.count(Key(path)) != 0) return nullptr;
  return std::make_unique<FakeFileHold>(*this, path);
}

std::unique_ptr<FolderHold> FakeFolderGuard::HoldFolder(const std::wstring& folder) {
  Note("pin " + LastName(folder));
  if (Examine(folder) != Kind::Folder) return nullptr;
  return std::make_unique<FakeFolderHold>(*this, folder);
}

bool FakeFolderGuard::IsPinned(const std::wstring& folder) const {
  return pinned_.count(Key(folder)) != 0;
}

bool FakeFolderGuard::OpenForWriting(const std::wstring& path) const {
  return !IsHeld(path);
}

bool FakeFolderGuard::IsHeld(const std::wstring& path) const {
  return held_.count(Key(path)) != 0;
}

void FakeFolderGuard::OpenByAnotherWriter(const std::wstring& path) {
  writers_.insert(Key(path));
}

void FakeFolderGuard::Undeletable(const std::wstring& path) {
  undeletable_.insert(Key(path));
}

void FakeFolderGuard::OpenToOthers(const std::wstring& folder) {
  open_.insert(Key(folder));
}

}  // namespace revivix::test
