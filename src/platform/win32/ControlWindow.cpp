// What every control window shares: creation from the window class and styles of its kind,
// place and size in pixels, visibility, state, text, colours and focus, and the dispatch of the
// model's changes and the window's notifications to the parts of each kind (ViewKinds.h).
#include "platform/win32/ViewKinds.h"

namespace revivix::win32 {

namespace {

// The drop-down part of a list shows about a dozen entries.
constexpr int kDropDownTwips = 3000;

WindowSpec SpecFor(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::Frame:
    case ControlKind::UniFrame:
      return FrameSpec();
    case ControlKind::UniButton:
      return ButtonSpec();
    case ControlKind::Label:
    case ControlKind::UniLabel:
      return LabelSpec(control);
    case ControlKind::DropDownList:
    case ControlKind::ListBox:
      return ListSpec(control.Kind());
    case ControlKind::TextBox:
    case ControlKind::UniText:
      return TextBoxSpec(control);
    case ControlKind::VistaProg:
      return VistaProgSpec();
    case ControlKind::Form:
      break;
  }
  return {};
}

}  // namespace

void RegisterControlClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

ControlWindow* ViewOf(HWND hwnd) {
  return reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

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
  if (control.Kind() == ControlKind::Form) return;  // the form is the main window itself
  const WindowSpec shape = SpecFor(control);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | shape.style;
  if (control.Visible()) style |= WS_VISIBLE;
  if (!control.Enabled()) style |= WS_DISABLED;

  const RECT r = PixelRect();
  std::wstring initial;
  if (ShowsCaption(control.Kind())) initial = control.Caption();
  if (ShowsText(control.Kind())) initial = DisplayedText(control);
  updating_ = true;
  hwnd_ = CreateWindowExW(shape.exStyle, shape.windowClass, initial.c_str(), style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                          GetModuleHandleW(nullptr), nullptr);
  if (shape.ownClass) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
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
  const ControlKind kind = control.Kind();
  // Our frames draw their caption themselves.
  if (kind == ControlKind::Frame || kind == ControlKind::UniFrame)
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ControlWindow::ApplyItems() {
  if (!IsList(control.Kind())) return;
  updating_ = true;
  FillList(hwnd_, control);
  updating_ = false;
  ApplyListIndex();
}

void ControlWindow::ApplyListIndex() {
  if (!IsList(control.Kind())) return;
  updating_ = true;
  SelectListEntry(hwnd_, control);
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

void ControlWindow::ApplySkin() {
  if (const auto& skin = control.Skin()) skin_ = ApplyButtonSkin(hwnd_, skin_, *this, *skin);
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
      host_.PageMayHaveChanged();
      break;
    case Property::Enabled:
      EnableWindow(hwnd_, control.Enabled() ? TRUE : FALSE);
      host_.PageMayHaveChanged();
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
    case Property::ItemAdded:
      if (IsList(control.Kind())) {
        updating_ = true;
        AppendListEntry(hwnd_, control);
        updating_ = false;
      }
      break;
    case Property::ListIndex:
      ApplyListIndex();
      break;
    case Property::Focus:
      SetFocus(hwnd_);
      break;
    case Property::Locked:
      SetReadOnly(hwnd_, control.Locked());
      break;
    case Property::Bar:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case Property::Skin:
      ApplySkin();
      break;
  }
}

void ControlWindow::OnCommand(WORD code) {
  // Notifications caused by the model writing into the window are not user input.
  if (updating_) return;
  switch (control.Kind()) {
    case ControlKind::UniButton:
      OnButtonCommand(control, code);
      break;
    case ControlKind::DropDownList:
    case ControlKind::ListBox:
      OnListCommand(hwnd_, control, code);
      break;
    case ControlKind::TextBox:
    case ControlKind::UniText:
      OnTextCommand(hwnd_, control, code);
      break;
    default:
      break;
  }
}

}  // namespace revivix::win32
