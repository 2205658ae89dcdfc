#include "platform/win32/Win32FolderGuard.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <memory>

namespace revivix::win32 {

const wchar_t* const kProtectedFolderSddl =
    L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

namespace {

// The descriptor without its owner, for a token that may not give a folder to Administrators.
const wchar_t* const kProtectedDaclSddl =
    L"D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

// Write access of any kind to a folder, its entries or its descriptor.
constexpr ACCESS_MASK kWriteRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA |
                                     FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE |
                                     WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The system's installer service, which owns the system's own folders.
const wchar_t* const kTrustedInstaller =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

class SecurityDescriptor {
 public:
  explicit SecurityDescriptor(const wchar_t* sddl) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd_, nullptr))
      sd_ = nullptr;
  }
  ~SecurityDescriptor() {
    if (sd_) LocalFree(sd_);
  }
  SecurityDescriptor(const SecurityDescriptor&) = delete;
  SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;
  PSECURITY_DESCRIPTOR Get() const { return sd_; }

 private:
  PSECURITY_DESCRIPTOR sd_ = nullptr;
};

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (Valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// True when an open handle is a reparse point itself: opened with FILE_FLAG_OPEN_REPARSE_POINT,
// a link's handle is the link on Windows. (Wine opens what a Unix link points at, so there the
// answer is false and the link is left alone.)
bool HandleIsLink(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return !GetFileInformationByHandle(handle, &info) ||
         (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The folder itself, never what a link of that name points at; invalid when it is a link.
HANDLE OpenFolder(const std::wstring& folder, DWORD access,
                  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) {
  HANDLE handle =
      CreateFileW(folder.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return handle;
  BY_HANDLE_FILE_INFORMATION info;
  // The name is asked too: Wine reports a Unix link only by its name.
  const DWORD named = GetFileAttributesW(folder.c_str());
  if (HandleIsLink(handle) || !GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || named == INVALID_FILE_ATTRIBUTES ||
      (named & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

bool IsTrusted(PSID sid) {
  if (!sid || !IsValidSid(sid)) return false;
  if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid))
    return true;
  PSID installer = nullptr;
  if (!ConvertStringSidToSidW(kTrustedInstaller, &installer)) return false;
  const bool same = EqualSid(sid, installer) != FALSE;
  LocalFree(installer);
  return same;
}

class FileHoldW : public FileHold {
 public:
  explicit FileHoldW(HANDLE handle) : handle_(handle) {}
  ~FileHoldW() override { CloseHandle(handle_); }
  std::optional<std::vector<std::uint8_t>> ReadAll() override {
    LARGE_INTEGER size;
    LARGE_INTEGER start{};
    if (!GetFileSizeEx(handle_, &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > 0x7FFFFFFFull ||
        !SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN))
      return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
      DWORD got = 0;
      if (!ReadFile(handle_, bytes.data() + done, want, &got, nullptr)) return std::nullopt;
      if (got == 0) break;
      done += got;
    }
    bytes.resize(done);
    return bytes;
  }

 private:
  HANDLE handle_;
};

class FolderHoldW : public FolderHold {
 public:
  explicit FolderHoldW(HANDLE handle) : handle_(handle) {}
  ~FolderHoldW() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

}  // namespace

FolderGuard::Kind Win32FolderGuard::Examine(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Kind::Missing
                                                                          : Kind::Unknown;
  }
  // Any reparse point, a junction or a symbolic link above all, is taken for a link.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Kind::Link;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
}

bool Win32FolderGuard::CreateProtectedFolder(const std::wstring& path) {
  for (const wchar_t* sddl : {kProtectedFolderSddl, kProtectedDaclSddl}) {
    SecurityDescriptor sd(sddl);
    if (!sd.Get()) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, sd.Get(), FALSE};
    if (CreateDirectoryW(path.c_str(), &attributes)) return true;
    // A token that cannot make Administrators the owner still gets the folder closed to others;
    // its owner then counts as another who may write.
    if (GetLastError() != ERROR_INVALID_OWNER) return false;
  }
  return false;
}

bool Win32FolderGuard::RemoveLink(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  // Removed only when the opened object is the link itself: where a system opens the target
  // instead (Wine with a Unix link), deleting would delete the target, so the link stays.
  Handle link(CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!link.Valid() || !GetFileInformationByHandle(link.Get(), &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  // Both calls act on the link itself, never on its target.
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryW(path.c_str()) != FALSE;
  return DeleteFileW(path.c_str()) != FALSE;
}

bool Win32FolderGuard::OthersMayWrite(const std::wstring& folder) {
  Handle handle(OpenFolder(folder, READ_CONTROL));
  if (!handle.Valid()) return true;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetSecurityInfo(handle.Get(), SE_FILE_OBJECT,
                      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                      &dacl, nullptr, &sd) != ERROR_SUCCESS)
    return true;
  // The owner may always change the descriptor; no DACL lets everyone in.
  bool others = !IsTrusted(owner) || !dacl;
  for (DWORD i = 0; !others && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) {
      others = true;
      break;
    }
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    if (header->AceFlags & INHERIT_ONLY_ACE) continue;  // for what is made inside, not the folder
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
      others = true;  // an allowing entry of a kind not read here
      break;
    }
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    if ((allowed->Mask & kWriteRights) != 0 && !IsTrusted(const_cast<DWORD*>(&allowed->SidStart)))
      others = true;
  }
  LocalFree(sd);
  return others;
}

bool Win32FolderGuard::ApplyProtection(const std::wstring& folder) {
  Handle handle(OpenFolder(folder, READ_CONTROL | WRITE_DAC | WRITE_OWNER));
  if (!handle.Valid()) return false;
  SecurityDescriptor sd(kProtectedFolderSddl);
  if (!sd.Get()) return false;
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  BOOL present = FALSE;
  if (!GetSecurityDescriptorOwner(sd.Get(), &owner, &defaulted) ||
      !GetSecurityDescriptorDacl(sd.Get(), &present, &dacl, &defaulted) || !present)
    return false;
  return SetSecurityInfo(handle.Get(), SE_FILE_OBJECT,
                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                             PROTECTED_DACL_SECURITY_INFORMATION,
                         owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

std::optional<std::vector<std::wstring>> Win32FolderGuard::List(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(names) : std::nullopt;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(find);
  if (!complete) return std::nullopt;
  return names;
}

bool Win32FolderGuard::RemoveFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  return DeleteFileW(path.c_str()) != FALSE;
}

bool Win32FolderGuard::RemoveFolder(const std::wstring& path) {
  return RemoveDirectoryW(path.c_str()) != FALSE;
}

std::unique_ptr<FileHold> Win32FolderGuard::Hold(const std::wstring& path) {
  // Others may read (the shell's start reads it too) but neither write, rename nor delete it.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::make_unique<FileHoldW>(handle);
}

std::unique_ptr<FolderHold> Win32FolderGuard::HoldFolder(const std::wstring& folder) {
  // Without FILE_SHARE_DELETE nobody can open the folder to rename or delete it.
  HANDLE handle = OpenFolder(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<FolderHoldW>(handle);
}

}  // namespace revivix::win32
