// The main window's view and the owner of every control window: creates the main window and the
// control windows in the order of the form's collection, draws the background and the banner, and
// passes notifications, colour requests, activation and the close request to the form.
#include "platform/win32/Win32Views.h"

#include "platform/win32/ViewKinds.h"

namespace revivix::win32 {

void RegisterWindowClasses(HINSTANCE instance) {
  RegisterFrameClass(instance);
  RegisterVistaProgClass(instance);
  RegisterSkinClass(instance);
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
  loop.SetMessageFilter(nullptr);
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
  // The focused control always shows its focus, whether the mouse or the keyboard moved it.
  SendMessageW(main_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  loop.SetMessageFilter([this](MSG& msg) { return PreTranslate(msg); });
  PageMayHaveChanged();
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
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(main_, focus)) lastFocus_ = focus;
      } else if (!activationPosted_) {
        activationPosted_ = true;
        PostMessageW(main_, kActivateMessage, 0, 0);
      }
      break;
    case kActivateMessage:
      form.Activate();
      return 0;
    case kPageMessage:
      FollowPage();
      return 0;
    case WM_SETFOCUS:
      // Back on the window: the focus returns to the control that had it.
      if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) &&
          IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
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
