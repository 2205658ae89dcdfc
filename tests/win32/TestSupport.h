// Shared by the Windows test programs: the arguments the test was given (after GoogleTest took
// its own) and the fixture folder as a Windows path.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace revivix::wintest {

const std::vector<std::string>& Arguments();

// The test's argument `index` (0 is the first after the program), or "" when absent.
std::string Argument(std::size_t index);

std::wstring FixturePath(const std::wstring& relative);

// Files of the runnable folders the tests prepare and read back.
bool FileExists(const std::wstring& path);
// The whole file, or "" when it cannot be opened.
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Creates every folder on the way to `path`.
void MakeFolders(const std::wstring& path);

// A started child process; it is terminated (if still running) and closed when the test ends.
class Child {
 public:
  explicit Child(const std::wstring& commandLine, const wchar_t* folder = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = commandLine;
    started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                              &startup, &info_) != FALSE;
  }
  ~Child() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);  // its files are free once it has ended
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  bool Started() const { return started_; }
  HANDLE Handle() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

}  // namespace revivix::wintest
