#include "driver/WizardSession.h"

#include <vector>

#include "driver/ComboPick.h"
#include "driver/FormControls.h"
#include "driver/WindowProbe.h"

namespace revivix::driver {

namespace {

constexpr UINT kSendTimeoutMs = 2000;

}  // namespace

const char* PageName(Page page) {
  switch (page) {
    case Page::Start:
      return "start";
    case Page::ModelAndSerialNumber:
      return "model and serial number";
    case Page::KnowledgeBaseQuestion:
      return "knowledge-base question";
    case Page::UpdateNotice:
      return "update notice";
    case Page::License:
      return "license";
    case Page::Download:
      return "download";
    case Page::Message:
      return "message";
    case Page::Ended:
      return "ended";
  }
  return "?";
}

WizardSession::~WizardSession() {
  if (!started_) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);  // its files are free once it has ended
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool WizardSession::Start(const std::wstring& folder, DWORD timeoutMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring line = L"\"" + folder + L"\\fernclip.exe\"";
  started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &info_) != FALSE;
  if (!started_) return false;
  main_ = WaitForTopLevelWindow(kWizardCaption, info_.dwProcessId, timeoutMs);
  return main_ != nullptr;
}

HWND WizardSession::Control(std::string_view name) const {
  if (!main_ || !IsWindow(main_)) return nullptr;
  return FindControlById(main_, ControlId(name));
}

bool WizardSession::Shown(std::string_view name) const {
  HWND control = Control(name);
  return control && IsWindowVisible(control);
}

bool WizardSession::Enabled(std::string_view name) const {
  HWND control = Control(name);
  return control && IsWindowEnabled(control);
}

std::wstring WizardSession::Text(std::string_view name) const {
  HWND control = Control(name);
  return control ? TextOf(control) : std::wstring();
}

bool WizardSession::Click(std::string_view name) {
  HWND button = Control(name);
  if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
  return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool WizardSession::Pick(std::string_view name, const std::wstring& entry) {
  HWND list = Control(name);
  return list && IsWindowVisible(list) && IsWindowEnabled(list) && PickComboEntry(list, entry);
}

bool WizardSession::Type(std::string_view name, const std::wstring& text) {
  HWND box = Control(name);
  if (!box || !IsWindowVisible(box) || !IsWindowEnabled(box)) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0 &&
         result == TRUE;
}

bool WizardSession::Ended() const {
  return !started_ || WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0;
}

Page WizardSession::CurrentPage() const {
  if (Ended() || !IsWindow(main_)) return Page::Ended;
  if (Shown("Frame_4_Download_Progress")) return Page::Download;
  if (Shown("Frame_DetectPlayer_by_SNO")) {
    if (Shown("UniLabel_New_Version_Info") && Shown("CmdYes")) return Page::UpdateNotice;
    if (Shown("CmdYes") && !Shown("Cmd_Next")) return Page::KnowledgeBaseQuestion;
    if (Shown("Cmd_Next")) return Page::ModelAndSerialNumber;
  }
  if (Shown("UnitxtLicense") && Shown("Cmd_I_Agree")) return Page::License;
  if (Shown("Frame_Error_Handling")) return Page::Message;
  return Page::Start;
}

bool WizardSession::WaitForPage(Page page, DWORD timeoutMs) {
  return WaitUntil(timeoutMs, [&] { return CurrentPage() == page; });
}

bool WizardSession::WaitForEnd(DWORD timeoutMs) {
  return started_ && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool WizardSession::ExitCode(DWORD& code) const {
  return started_ && Ended() && GetExitCodeProcess(info_.hProcess, &code) != FALSE;
}

std::string WizardSession::VisibleTexts() const {
  if (Ended() || !IsWindow(main_)) return "(the program has ended)\n";
  std::string texts;
  for (std::string_view name : kFormControls) {
    if (!Shown(name)) continue;
    texts += "  " + std::string(name) + ": \"" + Utf8(Text(name)) + "\"";
    if (HWND control = Control(name); control && !IsWindowEnabled(control)) texts += " (disabled)";
    texts += "\n";
  }
  return texts;
}

bool SaveScreenshot(const std::wstring& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool written = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
      DWORD done = 0;
      written = WriteFile(out, &file, sizeof file, &done, nullptr) &&
                WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &done, nullptr) &&
                WriteFile(out, bits, imageSize, &done, nullptr) && done == imageSize;
      CloseHandle(out);
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace revivix::driver
