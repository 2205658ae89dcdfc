// revivix-recorder.exe: a small Windows program that stands in for a downloaded updater. It writes
// down that it was started, with which arguments, in which folder, its own size and what lies
// beside it, into a file beside itself named after it with ".log" appended, shows a window for a
// few seconds so that a screenshot can catch it, and ends.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring OwnPath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

std::wstring CurrentFolder() {
  std::wstring folder(32768, L'\0');
  const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  folder.resize(length);
  return folder;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const std::wstring self = OwnPath();
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::string log = "started\r\n";
  std::wstring shown = L"Started with:";
  for (int i = 1; arguments && i < count; ++i) {
    log += "argument: " + Utf8(arguments[i]) + "\r\n";
    shown += L" ";
    shown += arguments[i];
  }
  if (arguments) LocalFree(arguments);
  log += "show command: " + std::to_string(showCommand) + "\r\n";
  log += "folder: " + Utf8(CurrentFolder()) + "\r\n";
  // Which file was started, by its size, and what lay beside it when it started.
  WIN32_FILE_ATTRIBUTE_DATA own{};
  if (GetFileAttributesExW(self.c_str(), GetFileExInfoStandard, &own))
    log += "size: " +
           std::to_string((static_cast<unsigned long long>(own.nFileSizeHigh) << 32) |
                          own.nFileSizeLow) +
           "\r\n";
  const std::wstring ownFolder = self.substr(0, self.find_last_of(L'\\'));
  const std::wstring ownName = self.substr(self.find_last_of(L'\\') + 1);
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((ownFolder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L".." && lstrcmpiW(name.c_str(), ownName.c_str()) != 0)
        log += "beside: " + Utf8(name) + "\r\n";
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }

  const std::wstring logPath = self + L".log";
  HANDLE file = CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, log.data(), static_cast<DWORD>(log.size()), &written, nullptr);
  CloseHandle(file);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"RevivixRecorder";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"RevivixRecorder", L"Revivix recorder", WS_OVERLAPPEDWINDOW, 600, 80,
                              360, 120, nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  CreateWindowW(L"STATIC", shown.c_str(), WS_CHILD | WS_VISIBLE, 12, 12, 320, 40, window, nullptr,
                instance, nullptr);
  ShowWindow(window, showCommand);
  SetTimer(window, 1, 3000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
