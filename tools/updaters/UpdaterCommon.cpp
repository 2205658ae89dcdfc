#include "UpdaterCommon.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace updater {

namespace {

WNDPROC g_buttonProc = nullptr;
HINSTANCE g_instance = nullptr;
constexpr wchar_t kQuestionClass[] = L"RevivixUpdaterQuestion";

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

std::wstring CaptionOf(HWND window) {
  wchar_t text[256];
  const int n = GetWindowTextW(window, text, 256);
  return std::wstring(text, n > 0 ? n : 0);
}

LRESULT CALLBACK LoggingButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == BM_CLICK) Log("click " + Narrow(CaptionOf(hwnd)));
  if (message == WM_CLOSE) Log("wm_close " + Narrow(CaptionOf(hwnd)));
  return CallWindowProcW(g_buttonProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK QuestionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner) PostMessageW(owner, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(hwnd));
    return 0;
  }
  if (message == WM_CLOSE) {
    // Closing a question by its title bar answers nothing; the program keeps waiting.
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += (c < 128) ? static_cast<char>(c) : '?';
  return out;
}

std::string Scenario::Describe() const {
  std::string s;
  const std::pair<bool, const char*> parts[] = {
      {fail, "fail"},           {lowBattery, "lowbattery"},   {secondWarning, "secondwarning"},
      {slowStart, "slowstart"}, {bothButtons, "bothbuttons"}, {hang, "hang"},
      {slowExit, "slowexit"},   {slowClick, "slowclick"}};
  for (const auto& [on, name] : parts) {
    if (!on) continue;
    if (!s.empty()) s.push_back('+');
    s.append(name);
  }
  return s.empty() ? "success" : s;
}

Scenario ReadScenario() {
  std::wstring name = ModulePath();
  const auto slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name = name.substr(slash + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  const auto has = [&](const wchar_t* word) { return name.find(word) != std::wstring::npos; };
  Scenario s;
  s.fail = has(L"fail");
  s.lowBattery = has(L"lowbattery");
  s.secondWarning = has(L"secondwarning");
  s.slowStart = has(L"slowstart");
  s.bothButtons = has(L"bothbuttons");
  s.hang = has(L"hang");
  s.slowExit = has(L"slowexit");
  s.slowClick = has(L"slowclick");
  return s;
}

void Log(const std::string& line) {
  const std::wstring path = ModulePath() + L".log";
  FILE* f = _wfopen(path.c_str(), L"ab");
  if (!f) return;
  std::fprintf(f, "%s\r\n", line.c_str());
  std::fclose(f);
}

void Hang() {
  Log("hang");
  Sleep(120000);
  ExitProcess(3);
}

void Initialise(HINSTANCE instance) {
  g_instance = instance;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &QuestionProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kQuestionClass;
  RegisterClassExW(&wc);
}

HWND AddButton(HWND parent, const wchar_t* caption, int id, int x, int y, int w, int h) {
  HWND button = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y,
                                w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                g_instance, nullptr);
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LoggingButtonProc)));
  if (!g_buttonProc) g_buttonProc = previous;
  return button;
}

HWND AddStatic(HWND parent, const wchar_t* text, int x, int y, int w, int h) {
  return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                         g_instance, nullptr);
}

HWND OpenQuestion(HWND owner, const wchar_t* title, const wchar_t* text,
                  const std::vector<std::pair<const wchar_t*, int>>& buttons) {
  HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kQuestionClass, title,
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 200, 200, 380, 150,
                                owner, nullptr, g_instance, nullptr);
  AddStatic(window, text, 12, 12, 350, 40);
  int x = 12;
  for (const auto& [caption, id] : buttons) {
    AddButton(window, caption, id, x, 70, 100, 28);
    x += 110;
  }
  Log("dialog " + Narrow(title) + " opened");
  return window;
}

Scenario Start(HINSTANCE instance, const char* kind) {
  // The command line ("0" from the wizard) is ignored: the file name is the scenario.
  const Scenario scenario = ReadScenario();
  Initialise(instance);
  Log(std::string("start ") + kind + " " + scenario.Describe());
  WIN32_FILE_ATTRIBUTE_DATA file{};
  if (GetFileAttributesExW(ModulePath().c_str(), GetFileExInfoStandard, &file))
    Log("size " + std::to_string(static_cast<unsigned long long>(file.nFileSizeHigh) << 32 |
                                 file.nFileSizeLow));
  if (scenario.slowStart) Sleep(2000);
  return scenario;
}

void RegisterWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc, int colour) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
  wc.lpszClassName = className;
  RegisterClassExW(&wc);
}

HWND CreateMainWindow(HINSTANCE instance, const wchar_t* className, WNDPROC proc,
                      const wchar_t* title, int x, int y) {
  RegisterWindowClass(instance, className, proc, COLOR_BTNFACE);
  return CreateWindowExW(0, className, title,
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 460, 260,
                         nullptr, nullptr, instance, nullptr);
}

LRESULT DefaultMainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Log("closed by WM_CLOSE");
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

int Run(HWND main) {
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // As a real updater that releases the player after its window has gone: its file stays in use
  // until the process ends.
  if (ReadScenario().slowExit) {
    Log("window gone, still ending");
    Sleep(2000);
  }
  Log("ended");
  return 0;
}

void OptionQuestion::Open(HWND owner) {
  if (window_ && IsWindow(window_)) return;
  window_ = OpenQuestion(owner, L"Option", L"Format the data area of your player?",
                         {{L"&Yes", yesId_}, {L"&No", noId_}});
}

bool OptionQuestion::Answer(int id) {
  if (id != yesId_ && id != noId_) return false;
  Log(std::string("dialog Option answered ") + (id == yesId_ ? "&Yes" : "&No"));
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
  return true;
}

}  // namespace updater
