#include "fakes/FakePlatform.h"

#include "TestCodePages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "common/Text.h"

namespace fs = std::filesystem;

namespace revivix::test {

// A folder of a new random name in the system's temporary folder, made with the standard library
// alone so that the Windows build of the tests makes it the same way.
TempFolder::TempFolder() {
  static std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "revivix-%016llx", static_cast<unsigned long long>(random()));
    std::error_code ec;
    if (fs::create_directory(base / name, ec)) {
      path_ = (base / name).string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // Read-only files made by a test must not keep the folder alive.
  for (const auto& entry : fs::recursive_directory_iterator(path_, ec))
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::optional<std::vector<ProcessEntry>> FakeProcesses::Snapshot() {
  if (snapshotFails) return std::nullopt;
  return running;
}

ProcessId FakeProcesses::OwnerOfWindow(WindowHandle window) {
  const auto it = windowOwners.find(window);
  return it == windowOwners.end() ? 0 : it->second;
}

bool FakeProcesses::Terminate(ProcessId id) {
  if (std::find(protectedIds.begin(), protectedIds.end(), id) != protectedIds.end()) return false;
  const auto it = std::find_if(running.begin(), running.end(),
                               [id](const ProcessEntry& p) { return p.id == id; });
  if (it == running.end()) return false;
  running.erase(it);
  terminated.push_back(id);
  return true;
}

bool FakeProcesses::WaitForExit(ProcessId id, int milliseconds) {
  waits.emplace_back(id, milliseconds);
  return onWait ? onWait(id) : true;
}

// Both forms answer from the same table: the fake's texts are plain ASCII.
int FakeSystemInfo::Answer(int& counter, std::uint32_t lcid, std::uint32_t type, wchar_t* data,
                           int size) {
  ++counter;
  queriedTypes.push_back(type);
  const auto it = localeData.find({lcid, type & ~0x80000000u});
  if (it == localeData.end()) return 0;
  const std::wstring& text = it->second;
  const int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (size < needed || !data) return 0;
  std::copy(text.begin(), text.end(), data);
  data[text.size()] = L'\0';
  return needed;
}

int FakeSystemInfo::GetLocaleInfoW(std::uint32_t lcid, std::uint32_t type, wchar_t* data,
                                   int size) {
  return Answer(wideQueries, lcid, type, data, size);
}

int FakeSystemInfo::GetLocaleInfoA(std::uint32_t lcid, std::uint32_t type, wchar_t* data,
                                   int size) {
  return Answer(ansiQueries, lcid, type, data, size);
}

void FakeSystemInfo::SetSystemLanguage(std::uint16_t id, const std::wstring& englishName) {
  langId = id;
  wchar_t code[8];
  std::swprintf(code, 8, L"%04X", static_cast<unsigned>(id));
  localeData[{id, 0x0001}] = code;
  localeData[{id, 0x1001}] = englishName;
}

LocalTime FakeClock::Now() {
  LocalTime t = start;
  const std::int64_t now = loop_.Now();
  std::int64_t ms = t.millisecond + now;
  std::int64_t seconds = t.second + ms / 1000;
  std::int64_t minutes = t.minute + seconds / 60;
  std::int64_t hours = t.hour + minutes / 60;
  t.millisecond = static_cast<int>(ms % 1000);
  t.second = static_cast<int>(seconds % 60);
  t.minute = static_cast<int>(minutes % 60);
  t.hour = static_cast<int>(hours % 24);
  t.day += static_cast<int>(hours / 24);  // the tests' runs stay within the month
  return t;
}

FakePlatform::FakePlatform()
    : html(loop),
      program(Ports{loop, files, processes, system, kernel32, unicows, window, html, shell,
                    registry, devices, connection, desktop, download, folders, clock, logFile}) {
  system.programFolder = FromUtf8(folder.Path());
  for (const char* sub : {"Languages", "License", "FW"})
    fs::create_directories(fs::path(folder.Path()) / sub);
}

void FakePlatform::WriteFile(const std::string& relative, const std::string& bytes) {
  const fs::path p = fs::path(folder.Path()) / relative;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

void FakePlatform::WriteUtf16File(const std::string& relative, const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  const auto unit = [&bytes](std::uint32_t u) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  for (const wchar_t c : text) {
    const auto u = static_cast<std::uint32_t>(c);
    // A character beyond the Basic Multilingual Plane (one unit where wchar_t is 32 bits wide)
    // is stored as its surrogate pair.
    if (u >= 0x10000) {
      unit(0xD800 + ((u - 0x10000) >> 10));
      unit(0xDC00 + ((u - 0x10000) & 0x3FF));
    } else {
      unit(u);
    }
  }
  WriteFile(relative, bytes);
}

std::string FakePlatform::ReadFile(const std::string& relative) const {
  std::ifstream in(fs::path(folder.Path()) / relative, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FakePlatform::Exists(const std::string& relative) const {
  return fs::exists(fs::path(folder.Path()) / relative);
}

void FakePlatform::CopyData(const std::string& relative) {
  const fs::path to = fs::path(folder.Path()) / relative;
  fs::create_directories(to.parent_path());
  fs::copy_file(fs::path(REVIVIX_DATA) / relative, to, fs::copy_options::overwrite_existing);
}

std::wstring FakePlatform::Folder() const {
  return FromUtf8(folder.Path());
}

void FakePlatform::SetAnsiCodePage(std::uint32_t id) {
  system.codePage = TestCodePage(id);
  desktop.codePage = TestCodePage(id);
}

}  // namespace revivix::test
