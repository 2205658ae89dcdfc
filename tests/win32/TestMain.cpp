// Main of the Windows test programs. wine64 can exit 0 when a program failed, so the verdict is
// printed as the last line of the output, where tools/wine-run.sh looks for it.
//   --idle   the program only sleeps (a second process with the same executable name)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "TestSupport.h"
#include "driver/Paths.h"

namespace revivix::wintest {

namespace {
std::vector<std::string>& Store() {
  static std::vector<std::string> arguments;
  return arguments;
}
}  // namespace

const std::vector<std::string>& Arguments() {
  return Store();
}

std::string Argument(std::size_t index) {
  return index < Store().size() ? Store()[index] : std::string();
}

std::wstring FixturePath(const std::wstring& relative) {
  return driver::WindowsPath(REVIVIX_FIXTURES) + L"\\" + relative;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

void MakeFolders(const std::wstring& path) {
  for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
       at = path.find(L'\\', at + 1))
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
}

}  // namespace revivix::wintest

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--idle") == 0) {
    Sleep(120000);
    return 0;
  }
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) revivix::wintest::Store().push_back(argv[i]);
  const int failed = RUN_ALL_TESTS();
  const auto* unit = testing::UnitTest::GetInstance();
  // A run in which no test ran proves nothing.
  const bool passed = failed == 0 && unit->test_to_run_count() > 0 && unit->Passed();
  std::fflush(stdout);
  std::printf("%s\n", passed ? "REVIVIX-TEST PASS" : "REVIVIX-TEST FAIL");
  std::fflush(stdout);
  return passed ? 0 : 1;
}
