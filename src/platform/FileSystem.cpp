#include "platform/FileSystem.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/Text.h"
#include "platform/LogFile.h"

namespace fs = std::filesystem;

namespace revivix {

// On Windows the path is used as it is. Elsewhere (the native tests) "\" separates names and
// each name is looked up without regard to letter case, as Windows does.
fs::path StdPath(const std::wstring& path) {
#ifdef _WIN32
  return fs::path(path);
#else
  std::wstring unix = path;
  for (auto& c : unix)
    if (c == L'\\') c = L'/';
  fs::path given(ToUtf8(unix));
  fs::path resolved = given.root_path();
  std::error_code ec;
  for (const auto& part : given.relative_path()) {
    fs::path exact = resolved / part;
    if (fs::exists(exact, ec) || !fs::is_directory(resolved.empty() ? "." : resolved, ec)) {
      resolved = exact;
      continue;
    }
    fs::path match = exact;
    for (const auto& entry :
         fs::directory_iterator(resolved.empty() ? fs::path(".") : resolved, ec)) {
      if (EqualsNoCase(FromUtf8(entry.path().filename().string()), FromUtf8(part.string()))) {
        match = resolved / entry.path().filename();
        break;
      }
    }
    resolved = match;
  }
  return resolved;
#endif
}

namespace {

fs::path Native(const std::wstring& path) {
  return StdPath(path);
}

std::wstring NameOf(const fs::path& p) {
#ifdef _WIN32
  return p.filename().wstring();
#else
  return FromUtf8(p.filename().string());
#endif
}

}  // namespace

bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
  const std::wstring p = UCase(pattern);
  const std::wstring n = UCase(name);
  std::size_t pi = 0, ni = 0, starP = std::wstring::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == L'?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == L'*') {
      starP = pi++;
      starN = ni;
    } else if (starP != std::wstring::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == L'*') ++pi;
  return pi == p.size();
}

bool StdFileSystem::FileExists(const std::wstring& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(Native(path), ec);
}

int StdFileSystem::DeleteFiles(const std::wstring& pattern) {
  const auto cut = pattern.find_last_of(L"\\/");
  const std::wstring last = cut == std::wstring::npos ? pattern : pattern.substr(cut + 1);
  std::error_code ec;
  if (last.find_first_of(L"*?") == std::wstring::npos) {
    const fs::path one = Native(pattern);
    const auto perms = fs::status(one, ec).permissions();
    if (ec || !fs::is_regular_file(one, ec)) return 0;
    if ((perms & fs::perms::owner_write) == fs::perms::none) return 0;
    return fs::remove(one, ec) ? 1 : 0;
  }
  const fs::path folder = Native(cut == std::wstring::npos ? L"." : pattern.substr(0, cut));
  int deleted = 0;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::error_code entryEc;
    if (!entry.is_regular_file(entryEc) || !WildcardMatch(last, NameOf(entry.path()))) continue;
    if ((entry.status(entryEc).permissions() & fs::perms::owner_write) == fs::perms::none)
      continue;  // read-only files stay
    if (fs::remove(entry.path(), entryEc)) ++deleted;
  }
  return deleted;
}

std::optional<std::vector<std::uint8_t>> StdFileSystem::ReadBytes(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  std::ifstream in(Native(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool StdFileSystem::WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

bool StdFileSystem::Replace(const std::wstring& source, const std::wstring& target) {
  std::error_code ec;
  fs::rename(Native(source), Native(target), ec);
  return !ec;
}

std::optional<std::uint64_t> StdLogFile::Size(const std::wstring& path) {
  std::error_code ec;
  const auto size = fs::file_size(Native(path), ec);
  if (ec) return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

bool StdLogFile::Append(const std::wstring& path, std::string_view bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

bool StdLogFile::Rename(const std::wstring& source, const std::wstring& target) {
  std::error_code ec;
  fs::rename(Native(source), Native(target), ec);
  return !ec;
}

}  // namespace revivix
