// Labels whose texts do not fit their design size take more room, by the rules of
// controls/TextFit.h: the message labels grow downward inside their frame, the short labels grow
// sideways into the free space beside them, the done size of the download ends where the total
// begins. Every text is measured with the label's own font, as the static control draws it.
#include <optional>
#include <string_view>
#include <vector>

#include "controls/TextFit.h"
#include "platform/win32/ViewKinds.h"

namespace revivix::win32 {

namespace {

struct GrowthRule {
  std::string_view control;
  bool sideways;  // false: downward only
  Anchor anchor;
  // The label whose left edge this one's right edge meets ("" for none).
  std::string_view endsAt;
};

constexpr GrowthRule kRules[] = {
    {"Uni_Error_Label1", false, Anchor::Left, ""},
    {"Uni_PID3500_err_MSG", false, Anchor::Left, ""},
    {"UniLabel_New_Version_Info", false, Anchor::Left, ""},
    {"Info_Label", false, Anchor::Left, ""},
    {"Label_Player", true, Anchor::Right, ""},
    {"Label_SNO", true, Anchor::Right, ""},
    {"Player_Detected_Label", true, Anchor::Centre, ""},
    {"Label_Actual_Size", true, Anchor::Right, "Label_Total_FileSize"},
    {"Label_Total_FileSize", true, Anchor::Left, ""},
};

const GrowthRule* RuleOf(const Control& control) {
  for (const GrowthRule& rule : kRules)
    if (rule.control == control.Name()) return &rule;
  return nullptr;
}

// A bordered frame's etched line takes this many pixels on each side.
constexpr int kFrameBorder = 2;

bool Shown(const Control& control) {
  for (const Control* c = &control; c; c = c->Container())
    if (c->Kind() != ControlKind::Form && !c->Visible()) return false;
  return true;
}

bool IsAncestor(const Control& ancestor, const Control& control) {
  for (const Control* c = control.Container(); c; c = c->Container())
    if (c == &ancestor) return true;
  return false;
}

PixelBox ToBox(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const PixelBox& b) {
  return {b.left, b.top, b.right, b.bottom};
}

// The size of `text` drawn with the window's font: one line, or wrapped at `width`.
SIZE Measure(HDC dc, HFONT font, const std::wstring& text, int width, bool wrap) {
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, wrap ? width : 0, 0};
  const UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  SelectObject(dc, old);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

bool RightAligned(const Control& label) {
  const GrowthRule* rule = RuleOf(label);
  return rule && rule->sideways && rule->anchor == Anchor::Right;
}

void FormViews::FitTexts() {
  if (!created_ || fitting_) return;
  fitting_ = true;
  // Every window's place in the main window's client area, as it is now.
  std::map<const Control*, PixelBox> boxes;
  const auto boxOf = [&](const ControlWindow& view) {
    RECT r = view.DesignRect();
    for (const Control* c = view.control.Container(); c && c != &form.Window; c = c->Container()) {
      const ControlWindow* container = nullptr;
      for (const auto& v : views_)
        if (v && &v->control == c) container = v.get();
      if (!container) break;
      const RECT outer = container->DesignRect();
      OffsetRect(&r, outer.left, outer.top);
    }
    return ToBox(r);
  };
  // Until the hidden controls get their windows (right after the window is first shown) some
  // entries are empty; those controls are not shown, so nothing measures against them yet.
  for (const auto& view : views_)
    if (view) boxes[&view->control] = boxOf(*view);

  for (const auto& view : views_) {
    if (!view) continue;
    const Control& label = view->control;
    const GrowthRule* rule = RuleOf(label);
    if (!rule) continue;
    if (!Shown(label)) {
      view->SetFittedRect(nullptr);
      continue;
    }
    PixelBox design = boxes[&label];
    // The room: the container's inside and the other shown controls that are not around it.
    RECT client{};
    GetClientRect(main_, &client);
    PixelBox room = ToBox(client);
    if (const Control* container = label.Container(); container && container != &form.Window) {
      room = boxes[container];
      if (container->Style().border) {
        room.left += kFrameBorder;
        room.right -= kFrameBorder;
        room.bottom -= kFrameBorder;
      }
    }
    std::vector<PixelBox> others;
    for (const auto& other : views_) {
      if (!other) continue;
      const Control& c = other->control;
      if (&c == &label || !Shown(c) || IsAncestor(c, label)) continue;
      if (c.Kind() == ControlKind::ListBox) continue;  // the scratch list lies outside the window
      others.push_back(boxes[&c]);
    }
    if (!rule->endsAt.empty()) {
      for (const auto& other : views_)
        if (other && other->control.Name() == rule->endsAt)
          design.right = boxes[&other->control].left;
    }
    const std::wstring& text = label.Caption();
    PixelBox box = design;
    if (rule->sideways) {
      const SIZE line = Measure(measureDc_, view->Font(), text, 0, false);
      box = WidenedBox(design, line.cx, rule->anchor, room.left, room.right, others);
    }
    const SIZE wrapped = Measure(measureDc_, view->Font(), text, box.Width(), true);
    box.bottom = box.top + GrownHeight(box, wrapped.cy, room.bottom, others);
    boxes[&label] = box;
    if (box == boxOf(*view)) {
      view->SetFittedRect(nullptr);
      continue;
    }
    // Back into the parent's coordinates.
    const PixelBox absolute = boxOf(*view);
    const RECT own = view->DesignRect();
    RECT r = ToRect(box);
    OffsetRect(&r, own.left - absolute.left, own.top - absolute.top);
    view->SetFittedRect(&r);
  }
  fitting_ = false;
}

}  // namespace revivix::win32
