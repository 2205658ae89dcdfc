// The windows that show the main form and its controls. Each control gets one window that
// mirrors its model (position in twips turned into pixels, visibility, state, text, colours,
// list entries); user input in a window writes the model and raises its event. The main window
// and the frames are window classes of our own; the progress bar is painted by our own class.
// FormViews (Win32Views.cpp) owns the main window; ControlWindow (ControlWindow.cpp) is what every
// control window shares; what differs by kind lives in FrameViews, ButtonViews, ListViews,
// TextViews and ProgressViews (see ViewKinds.h).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Keyboard.h"
#include "app/frmMain.h"
#include "platform/win32/Colours.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32MainWindow.h"

namespace revivix::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"RevivixMain";
inline constexpr wchar_t kFrameClass[] = L"RevivixFrame";
inline constexpr wchar_t kVistaProgClass[] = L"VistaProg";
// The shaded border of a skinned button: a disabled child of the button cut down to the rings.
inline constexpr wchar_t kSkinClass[] = L"RevivixButtonSkin";
// Control windows carry the id kFirstControlId + their index in frmMain::Controls().
inline constexpr int kFirstControlId = 1000;
// Posted on the first activation, so the start-up runs once the activation has completed.
inline constexpr UINT kActivateMessage = WM_APP + 1;
// Posted when controls were shown, hidden, enabled or disabled: the page may have changed.
inline constexpr UINT kPageMessage = WM_APP + 2;

class FormViews;

// One control's window.
class ControlWindow : public ControlView {
 public:
  ControlWindow(Control& control, FormViews& host, int id);
  ~ControlWindow() override;
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  void Create(HWND parent);
  void Changed(Property property) override;

  // A notification of the window (WM_COMMAND code).
  void OnCommand(WORD code);
  // Colours for WM_CTLCOLOR*: sets the text and background colours and returns the brush.
  HBRUSH OnCtlColor(HDC dc);

  Control& control;
  HWND Handle() const { return hwnd_; }
  HFONT Font() const;
  int DpiX() const;
  int Id() const { return id_; }

 private:
  RECT PixelRect() const;
  void ApplyGeometry();
  void ApplyText();
  void ApplyItems();
  void ApplyListIndex();
  void ApplyBackColor();
  void ApplySkin();

  FormViews& host_;
  int id_;
  HWND hwnd_ = nullptr;
  HWND skin_ = nullptr;  // the ring window of a skinned button
  std::uint32_t brushColour_ = 0;
  bool hasBrush_ = false;
  bool updating_ = false;  // set while the model writes into the window
};

// The main window's view: caption, outer size, background colour and banner.
class FormWindow : public ControlView {
 public:
  FormWindow(Control& form, FormViews& host) : form_(form), host_(host) {}
  void Changed(Property property) override;

 private:
  Control& form_;
  FormViews& host_;
};

class FormViews {
 public:
  // `banner` may be null (then no banner is drawn); it stays owned by the caller.
  FormViews(frmMain& form, Win32EventLoop& loop, Win32MainWindow& mainWindow, HBITMAP banner);
  ~FormViews();
  FormViews(const FormViews&) = delete;
  FormViews& operator=(const FormViews&) = delete;

  // Creates the main window, hidden, with every control's window, and attaches the views.
  HWND Create(DWORD style);
  HWND MainHandle() const { return main_; }
  HWND HandleOf(const Control& control) const;
  // Places a control's window above its overlapping siblings.
  void BringToTop(const Control& control);

  frmMain& form;
  Win32EventLoop& loop;
  int DpiX() const { return dpiX_; }
  int DpiY() const { return dpiY_; }
  int PxX(int twips) const { return TwipsToPixels(twips, dpiX_); }
  int PxY(int twips) const { return TwipsToPixels(twips, dpiY_); }
  HFONT Font(bool bold) const { return bold ? boldFont_ : font_; }
  BrushCache& Brushes() { return brushes_; }
  ControlWindow* ViewByHandle(HWND hwnd) const;
  ControlWindow* ViewById(int id) const;
  void ApplyFormSize();
  void ApplyFormBackColor();

  // The window's keyboard (KeyboardViews.cpp): Tab and Shift+Tab in the wizard's Tab order, Enter
  // on the page's forward button, Escape as the close button; everything else goes through the
  // dialog manager (Space presses the focused button). True when `msg` was handled and must not
  // be dispatched.
  bool PreTranslate(MSG& msg);
  // A control was shown, hidden, enabled or disabled: the page may have changed.
  void PageMayHaveChanged();

 private:
  // Gives the focus to a new page's control and announces the page's message.
  void FollowPage();
  ControlWindow* FocusedView() const;
  void MoveFocus(Control& control);

  static LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMain(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintMain();

  Win32MainWindow& mainWindow_;
  HBITMAP banner_;
  HWND main_ = nullptr;
  int dpiX_ = 96;
  int dpiY_ = 96;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  BrushCache brushes_;
  std::uint32_t formBrushColour_ = 0;
  bool hasFormBrush_ = false;
  bool activationPosted_ = false;
  PageFocus pageFocus_;
  bool pageCheckPosted_ = false;
  HWND lastFocus_ = nullptr;  // the focus to give back when the window is activated again
  FormWindow formView_;
  std::vector<std::unique_ptr<ControlWindow>> views_;
  std::map<HWND, ControlWindow*> byHandle_;
};

// Registers the window classes of the main window, the frames and the progress bar.
void RegisterWindowClasses(HINSTANCE instance);

}  // namespace revivix::win32
