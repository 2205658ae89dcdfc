#include "platform/win32/Win32Views.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/VistaProgPainter.h"

namespace revivix::win32 {

namespace {

// The drop-down part of a list shows about a dozen entries.
constexpr int kDropDownTwips = 3000;
// The caption of a frame starts this far from the frame's left edge.
constexpr int kFrameCaptionIndent = 8;

bool ShowsCaption(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame:
    case ControlKind::UniFrame:
    case ControlKind::UniButton:
    case ControlKind::Label:
    case ControlKind::UniLabel:
      return true;
    default:
      return false;
  }
}

bool ShowsText(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::UniText;
}

bool IsFrame(ControlKind kind) {
  return kind == ControlKind::Frame || kind == ControlKind::UniFrame;
}

// The license text keeps its byte-order mark in the model; the box does not show it.
std::wstring DisplayedText(const Control& control) {
  const std::wstring& text = control.Text();
  if (control.Kind() == ControlKind::UniText && !text.empty() && text[0] == L'\xFEFF')
    return text.substr(1);
  return text;
}

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return text;
}

ControlWindow* ViewOf(HWND hwnd) {
  return reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// A frame draws its background and, with a border, an etched line with the caption on its top
// edge. It passes its children's notifications on to its parent, so they reach the main window.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_ERASEBKGND: {
      ControlWindow* view = ViewOf(hwnd);
      if (!view) break;
      RECT client;
      GetClientRect(hwnd, &client);
      HDC dc = reinterpret_cast<HDC>(wParam);
      FillRect(dc, &client, view->OnCtlColor(dc));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      ControlWindow* view = ViewOf(hwnd);
      if (view && view->control.Style().border) {
        RECT client;
        GetClientRect(hwnd, &client);
        HGDIOBJ oldFont = SelectObject(dc, view->Font());
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        RECT edge = client;
        edge.top += metrics.tmHeight / 2;
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        const std::wstring& caption = view->control.Caption();
        if (!caption.empty()) {
          HBRUSH background = view->OnCtlColor(dc);  // also sets the text colours
          RECT text{kFrameCaptionIndent, 0, client.right - kFrameCaptionIndent, metrics.tmHeight};
          DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_SINGLELINE | DT_CALCRECT);
          InflateRect(&text, 2, 0);
          FillRect(dc, &text, background);
          InflateRect(&text, -2, 0);
          SetBkMode(dc, TRANSPARENT);
          DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE);
        }
        SelectObject(dc, oldFont);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK VistaProgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the bar paints every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      ControlWindow* view = ViewOf(hwnd);
      if (view && view->control.Kind() == ControlKind::VistaProg) {
        RECT client;
        GetClientRect(hwnd, &client);
        const auto& bar = static_cast<const VistaProg&>(view->control);
        PaintBar(dc, client, bar.Pieces(), view->DpiX());
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Paints a skinned button's rings, outermost first, each rounded rectangle one pixel inside the
// last; the window's region leaves only the rings outside the innermost one visible.
LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      ControlWindow* view = ViewOf(hwnd);
      if (view && view->control.Skin()) {
        const ButtonSkin& skin = *view->control.Skin();
        for (std::size_t i = 0; i < skin.rings.size(); ++i) {
          const int inset = static_cast<int>(i);
          HRGN ring = CreateRoundRectRgn(inset, inset, skin.width - inset, skin.height - inset,
                                         skin.corner, skin.corner);
          HBRUSH brush = CreateSolidBrush(skin.rings[i]);  // &HBBGGRR is a COLORREF
          FillRgn(dc, ring, brush);
          DeleteObject(brush);
          DeleteObject(ring);
        }
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);

  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &FrameProc;
  wc.lpszClassName = kFrameClass;
  RegisterClassExW(&wc);

  wc.lpfnWndProc = &VistaProgProc;
  wc.lpszClassName = kVistaProgClass;
  RegisterClassExW(&wc);

  wc.lpfnWndProc = &SkinProc;
  wc.lpszClassName = kSkinClass;
  RegisterClassExW(&wc);
}

// ---- ControlWindow ----

ControlWindow::ControlWindow(Control& c, FormViews& host, int id)
    : control(c), host_(host), id_(id) {}

ControlWindow::~ControlWindow() {
  if (control.View() == this) control.AttachView(nullptr);
  if (hasBrush_) host_.Brushes().Release(brushColour_);
}

RECT ControlWindow::PixelRect() const {
  const int left = host_.PxX(control.Left());
  const int top = host_.PxY(control.Top());
  int height = host_.PxY(control.Height());
  // A drop-down list's window includes its dropped part; the closed box keeps its own height.
  if (control.Kind() == ControlKind::DropDownList) height += host_.PxY(kDropDownTwips);
  return RECT{left, top, left + host_.PxX(control.Width()), top + height};
}

void ControlWindow::Create(HWND parent) {
  const ControlKind kind = control.Kind();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  const wchar_t* windowClass = L"STATIC";
  switch (kind) {
    case ControlKind::Frame:
    case ControlKind::UniFrame:
      windowClass = kFrameClass;
      style |= WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      break;
    case ControlKind::UniButton:
      windowClass = L"BUTTON";
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::Label:
    case ControlKind::UniLabel:
      windowClass = L"STATIC";
      style |= control.Style().centred ? SS_CENTER : SS_LEFT;  // both wrap long lines
      break;
    case ControlKind::DropDownList:
      windowClass = L"COMBOBOX";
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      break;
    case ControlKind::TextBox:
      windowClass = L"EDIT";
      style |= ES_AUTOHSCROLL | WS_TABSTOP;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::UniText:
      windowClass = L"EDIT";
      style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ListBox:
      windowClass = L"LISTBOX";
      style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER;
      break;
    case ControlKind::VistaProg:
      windowClass = kVistaProgClass;
      break;
    case ControlKind::Form:
      return;  // the form is the main window itself
  }
  if (control.Visible()) style |= WS_VISIBLE;
  if (!control.Enabled()) style |= WS_DISABLED;
  if (kind == ControlKind::UniText && control.Locked()) style |= ES_READONLY;

  const RECT r = PixelRect();
  std::wstring initial;
  if (ShowsCaption(kind)) initial = control.Caption();
  if (ShowsText(kind)) initial = DisplayedText(control);
  updating_ = true;
  hwnd_ =
      CreateWindowExW(exStyle, windowClass, initial.c_str(), style, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                      GetModuleHandleW(nullptr), nullptr);
  if (windowClass == kFrameClass || windowClass == kVistaProgClass)
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
  updating_ = false;
  ApplyBackColor();
  ApplyItems();
  control.AttachView(this);
}

HFONT ControlWindow::Font() const {
  return host_.Font(control.Style().bold);
}

int ControlWindow::DpiX() const {
  return host_.DpiX();
}

void ControlWindow::ApplyGeometry() {
  const RECT r = PixelRect();
  SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlWindow::ApplyText() {
  updating_ = true;
  if (ShowsCaption(control.Kind())) SetWindowTextW(hwnd_, control.Caption().c_str());
  if (ShowsText(control.Kind())) SetWindowTextW(hwnd_, DisplayedText(control).c_str());
  updating_ = false;
  if (IsFrame(control.Kind())) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ControlWindow::ApplyItems() {
  const bool combo = control.Kind() == ControlKind::DropDownList;
  if (!combo && control.Kind() != ControlKind::ListBox) return;
  updating_ = true;
  SendMessageW(hwnd_, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < control.ListCount(); ++i)
    SendMessageW(hwnd_, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(control.List(i).c_str()));
  updating_ = false;
  ApplyListIndex();
}

void ControlWindow::ApplyListIndex() {
  const bool combo = control.Kind() == ControlKind::DropDownList;
  if (!combo && control.Kind() != ControlKind::ListBox) return;
  updating_ = true;
  SendMessageW(hwnd_, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(control.ListIndex()),
               0);
  updating_ = false;
}

void ControlWindow::ApplyBackColor() {
  const std::uint32_t colour = control.BackColor();
  if (hasBrush_ && colour == brushColour_) return;
  // Take the new brush before letting go of the old one, so a shared brush is not re-created.
  host_.Brushes().Acquire(colour);
  if (hasBrush_) host_.Brushes().Release(brushColour_);
  brushColour_ = colour;
  hasBrush_ = true;
}

HBRUSH ControlWindow::OnCtlColor(HDC dc) {
  SetTextColor(dc, ToColorRef(control.ForeColor()));
  SetBkColor(dc, ToColorRef(control.BackColor()));
  if (!hasBrush_) ApplyBackColor();
  return host_.Brushes().Find(brushColour_);
}

void ControlWindow::Changed(Property property) {
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  switch (property) {
    case Property::Left:
    case Property::Top:
    case Property::Width:
    case Property::Height:
      ApplyGeometry();
      break;
    case Property::Visible:
      ShowWindow(hwnd_, control.Visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Property::Enabled:
      EnableWindow(hwnd_, control.Enabled() ? TRUE : FALSE);
      break;
    case Property::Caption:
    case Property::Text:
      ApplyText();
      break;
    case Property::BackColor:
      ApplyBackColor();
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case Property::ForeColor:
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case Property::Items:
      ApplyItems();
      break;
    case Property::ListIndex:
      ApplyListIndex();
      break;
    case Property::Focus:
      SetFocus(hwnd_);
      break;
    case Property::Locked:
      SendMessageW(hwnd_, EM_SETREADONLY, control.Locked() ? TRUE : FALSE, 0);
      break;
    case Property::Bar:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case Property::Skin:
      ApplySkin();
      break;
  }
}

void ControlWindow::ApplySkin() {
  const auto& skin = control.Skin();
  if (!skin || skin->rings.empty()) return;
  const int w = skin->width;
  const int h = skin->height;
  const int c = skin->corner;
  // The button's own face paints around its children, not over the rings; its corners are
  // rounded by its window region (which the system owns from here on).
  SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_CLIPCHILDREN);
  SetWindowRgn(hwnd_, CreateRoundRectRgn(0, 0, w, h, c, c), TRUE);
  if (!skin_) {
    const std::wstring name = L"Pic_" + std::to_wstring(reinterpret_cast<UINT_PTR>(hwnd_));
    skin_ = CreateWindowExW(0, kSkinClass, name.c_str(), WS_CHILD | WS_DISABLED, 0, 0, w, h, hwnd_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!skin_) return;
    SetWindowLongPtrW(skin_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  SetWindowPos(skin_, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  // Everything outside the innermost rounded rectangle: a large rectangle exclusive-or the
  // innermost ring.
  const int last = static_cast<int>(skin->rings.size()) - 1;
  HRGN rings = CreateRoundRectRgn(last, last, w - last, h - last, c, c);
  HRGN all = CreateRectRgn(0, 0, 2 * w, 2 * h);
  CombineRgn(rings, all, rings, RGN_XOR);
  DeleteObject(all);
  SetWindowRgn(skin_, rings, TRUE);
  ShowWindow(skin_, SW_SHOWNA);
}

void ControlWindow::OnCommand(WORD code) {
  if (updating_) return;
  switch (control.Kind()) {
    case ControlKind::UniButton:
      if (code == BN_CLICKED) control.RaiseClick();
      break;
    case ControlKind::DropDownList:
      if (code == CBN_SELCHANGE)
        control.UserSelect(static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)));
      break;
    case ControlKind::ListBox:
      if (code == LBN_SELCHANGE)
        control.UserSelect(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
      break;
    case ControlKind::TextBox:
    case ControlKind::UniText:
      // The license box is read-only; only the serial-number entry writes back.
      if (code == EN_CHANGE && control.Kind() == ControlKind::TextBox && !updating_)
        control.UserEdit(WindowText(hwnd_));
      break;
    default:
      break;
  }
}

// ---- FormWindow ----

void FormWindow::Changed(Property property) {
  HWND hwnd = host_.MainHandle();
  if (!hwnd || !IsWindow(hwnd)) return;
  switch (property) {
    case Property::Caption:
      SetWindowTextW(hwnd, form_.Caption().c_str());
      break;
    case Property::Width:
    case Property::Height:
      host_.ApplyFormSize();
      break;
    case Property::BackColor:
      host_.ApplyFormBackColor();
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Property::Visible:
      ShowWindow(hwnd, form_.Visible() ? SW_SHOW : SW_HIDE);
      break;
    case Property::Enabled:
      EnableWindow(hwnd, form_.Enabled() ? TRUE : FALSE);
      break;
    default:
      break;  // the window keeps its place on the screen
  }
}

// ---- FormViews ----

FormViews::FormViews(frmMain& f, Win32EventLoop& l, Win32MainWindow& mainWindow, HBITMAP banner)
    : form(f), loop(l), mainWindow_(mainWindow), banner_(banner), formView_(f.Window, *this) {
  HDC screen = GetDC(nullptr);
  dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  LOGFONTW font{};
  font.lfHeight = -MulDiv(8, dpiY_, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
  font_ = CreateFontIndirectW(&font);
  font.lfWeight = FW_BOLD;
  boldFont_ = CreateFontIndirectW(&font);
}

FormViews::~FormViews() {
  if (form.Window.View() == &formView_) form.Window.AttachView(nullptr);
  if (main_ && IsWindow(main_)) {
    SetWindowLongPtrW(main_, GWLP_USERDATA, 0);
    DestroyWindow(main_);
  }
  views_.clear();
  if (hasFormBrush_) brushes_.Release(formBrushColour_);
  DeleteObject(font_);
  DeleteObject(boldFont_);
}

HWND FormViews::Create(DWORD style) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterWindowClasses(instance);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.lpfnWndProc = &MainProc;
  wc.lpszClassName = kMainWindowClass;
  RegisterClassExW(&wc);

  const int width = PxX(form.Window.Width());
  const int height = PxY(form.Window.Height());
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  main_ = CreateWindowExW(0, kMainWindowClass, form.Window.Caption().c_str(),
                          style | WS_CLIPCHILDREN, left > 0 ? left : 0, top > 0 ? top : 0, width,
                          height, nullptr, nullptr, instance, this);
  if (!main_) return nullptr;
  mainWindow_.Attach(main_);
  ApplyFormBackColor();
  form.Window.AttachView(&formView_);

  // Containers come before their contents in the collection; each window's parent is the
  // window of its container.
  const auto& controls = form.Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    Control* control = controls[i];
    auto view =
        std::make_unique<ControlWindow>(*control, *this, kFirstControlId + static_cast<int>(i));
    HWND parent = main_;
    if (control->Container() && control->Container() != &form.Window) {
      HWND container = HandleOf(*control->Container());
      if (container) parent = container;
    }
    view->Create(parent);
    byHandle_[view->Handle()] = view.get();
    views_.push_back(std::move(view));
  }
  return main_;
}

HWND FormViews::HandleOf(const Control& control) const {
  for (const auto& view : views_)
    if (&view->control == &control) return view->Handle();
  return &control == &form.Window ? main_ : nullptr;
}

void FormViews::BringToTop(const Control& control) {
  SetWindowPos(HandleOf(control), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

ControlWindow* FormViews::ViewByHandle(HWND hwnd) const {
  const auto it = byHandle_.find(hwnd);
  return it == byHandle_.end() ? nullptr : it->second;
}

ControlWindow* FormViews::ViewById(int id) const {
  const int index = id - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(views_.size())) return nullptr;
  return views_[static_cast<std::size_t>(index)].get();
}

void FormViews::ApplyFormSize() {
  SetWindowPos(main_, nullptr, 0, 0, PxX(form.Window.Width()), PxY(form.Window.Height()),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormViews::ApplyFormBackColor() {
  const std::uint32_t colour = form.Window.BackColor();
  if (hasFormBrush_ && colour == formBrushColour_) return;
  brushes_.Acquire(colour);
  if (hasFormBrush_) brushes_.Release(formBrushColour_);
  formBrushColour_ = colour;
  hasFormBrush_ = true;
}

void FormViews::PaintMain() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(main_, &ps);
  if (banner_) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, banner_);
    BITMAP info{};
    GetObjectW(banner_, sizeof info, &info);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  EndPaint(main_, &ps);
}

LRESULT CALLBACK FormViews::MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<FormViews*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || (self->main_ && self->main_ != hwnd))
    return DefWindowProcW(hwnd, message, wParam, lParam);
  if (!self->main_) self->main_ = hwnd;
  return self->HandleMain(message, wParam, lParam);
}

LRESULT FormViews::HandleMain(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) {
        if (ControlWindow* view = ViewById(LOWORD(wParam))) view->OnCommand(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (ControlWindow* view = ViewByHandle(reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(view->OnCtlColor(reinterpret_cast<HDC>(wParam)));
      break;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(main_, &client);
      if (!hasFormBrush_) ApplyFormBackColor();
      FillRect(reinterpret_cast<HDC>(wParam), &client, brushes_.Find(formBrushColour_));
      return 1;
    }
    case WM_PAINT:
      PaintMain();
      return 0;
    case WM_SETCURSOR:
      if (loop.Pointer() == MousePointer::Hourglass) {
        SetCursor(loop.Cursor());
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !activationPosted_) {
        activationPosted_ = true;
        PostMessageW(main_, kActivateMessage, 0, 0);
      }
      break;
    case kActivateMessage:
      form.Activate();
      return 0;
    case WM_CLOSE:
      // The wizard decides: QuitWizard destroys the window through the main-window port.
      form.CloseRequest();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(main_, message, wParam, lParam);
}

}  // namespace revivix::win32
