// The parts of the control windows that differ by kind of control, one file per kind: frames,
// buttons with their skins, lists, texts (labels, the serial-number box, the license box) and
// the progress bar. ControlWindow (ControlWindow.cpp) holds what every kind shares and calls
// these.
#pragma once

#include <windows.h>

#include <string>

#include "controls/Control.h"
#include "platform/win32/Win32Views.h"

namespace revivix::win32 {

// The window class and styles a control's window is created with.
struct WindowSpec {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = 0;
  DWORD exStyle = 0;
  bool ownClass = false;  // one of our classes: its procedure finds the view in GWLP_USERDATA
};

// The view kept with a window of one of our own classes.
ControlWindow* ViewOf(HWND hwnd);
// Registers one of our own control classes: arrow cursor, repainted whole when resized.
void RegisterControlClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name);

// ---- Frames (FrameViews.cpp) ----
void RegisterFrameClass(HINSTANCE instance);
WindowSpec FrameSpec();

// ---- Buttons and their skins (ButtonViews.cpp) ----
void RegisterSkinClass(HINSTANCE instance);
WindowSpec ButtonSpec();
void OnButtonCommand(Control& button, WORD code);
// Rounds the button's corners and shows the rings of its skin in a disabled child window, which
// is created on first use (`ring` null) and returned.
HWND ApplyButtonSkin(HWND button, HWND ring, ControlWindow& view, const ButtonSkin& skin);

// ---- Drop-down lists and list boxes (ListViews.cpp) ----
bool IsList(ControlKind kind);
WindowSpec ListSpec(ControlKind kind);
void FillList(HWND list, const Control& control);
// Adds the model's last entry at the end of the list window.
void AppendListEntry(HWND list, const Control& control);
void SelectListEntry(HWND list, const Control& control);
void OnListCommand(HWND list, Control& control, WORD code);

// ---- Labels, text boxes and the license box (TextViews.cpp) ----
bool ShowsCaption(ControlKind kind);
bool ShowsText(ControlKind kind);
WindowSpec LabelSpec(const Control& label);
WindowSpec TextBoxSpec(const Control& box);
// The text the window shows: the license keeps its byte-order mark in the model only.
std::wstring DisplayedText(const Control& control);
void SetReadOnly(HWND box, bool readOnly);
void OnTextCommand(HWND box, Control& control, WORD code);

// ---- The progress bar (ProgressViews.cpp) ----
void RegisterVistaProgClass(HINSTANCE instance);
WindowSpec VistaProgSpec();

}  // namespace revivix::win32
