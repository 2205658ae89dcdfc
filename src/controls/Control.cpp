#include "controls/Control.h"

#include "common/Text.h"

#include <exception>
#include <utility>

namespace revivix {

Control::Control(std::string name, ControlKind kind, Control* container, TwipsRect design,
                 bool visible, std::wstring caption, ControlStyle style)
    : rect_(design),
      name_(std::move(name)),
      kind_(kind),
      container_(container),
      style_(std::move(style)),
      visible_(visible),
      caption_(std::move(caption)) {}

void Control::Notify(Property property) {
  if (view_) view_->Changed(property);
}

void Control::SetLeft(int twips) {
  rect_.left = twips;
  Notify(Property::Left);
}

void Control::SetTop(int twips) {
  rect_.top = twips;
  Notify(Property::Top);
}

void Control::SetWidth(int twips) {
  rect_.width = twips;
  Notify(Property::Width);
}

void Control::SetHeight(int twips) {
  rect_.height = twips;
  Notify(Property::Height);
}

void Control::Move(int left, int top) {
  SetLeft(left);
  SetTop(top);
}

void Control::SetVisible(bool visible) {
  visible_ = visible;
  Notify(Property::Visible);
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Notify(Property::Enabled);
}

void Control::SetBackColor(std::uint32_t colour) {
  backColor_ = colour;
  Notify(Property::BackColor);
}

void Control::SetForeColor(std::uint32_t colour) {
  foreColor_ = colour;
  Notify(Property::ForeColor);
}

void Control::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  Notify(Property::Caption);
}

std::wstring Control::Text() const {
  if (kind_ == ControlKind::DropDownList || kind_ == ControlKind::ListBox)
    return listIndex_ >= 0 ? items_[static_cast<std::size_t>(listIndex_)] : std::wstring();
  return text_;
}

void Control::SetText(std::wstring text) {
  if (kind_ == ControlKind::DropDownList) {
    // The entry with exactly that text, else one that differs only in letter case (a settings
    // file edited by hand).
    for (const bool exact : {true, false}) {
      for (int i = 0; i < ListCount(); ++i) {
        const auto& entry = items_[static_cast<std::size_t>(i)];
        if (exact ? entry == text : EqualsNoCase(entry, text)) {
          SetListIndex(i);
          return;
        }
      }
    }
    throw ControlError(name_ + ": the text is not an entry of the list");
  }
  text_ = std::move(text);
  Notify(Property::Text);
}

void Control::AddItem(std::wstring entry) {
  items_.push_back(std::move(entry));
  // Only the new entry: a list of N entries is filled in N steps, not N * N / 2.
  Notify(Property::ItemAdded);
}

void Control::Clear() {
  items_.clear();
  listIndex_ = -1;
  Notify(Property::Items);
}

void Control::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) throw ControlError(name_ + ": no such list entry");
  listIndex_ = index;
  Notify(Property::ListIndex);
  RaiseClick();
}

void Control::SetFocus() {
  focused_ = true;
  Control* window = this;
  while (window->container_) window = window->container_;
  window->lastFocusGiven_ = this;
  ++window->focusGivenCount_;
  Notify(Property::Focus);
}

void Control::SetLocked(bool locked) {
  locked_ = locked;
  Notify(Property::Locked);
}

void Control::SetSkin(ButtonSkin skin) {
  skin_ = std::move(skin);
  Notify(Property::Skin);
}

void Control::RaiseClick() {
  try {
    if (Click) Click();
  } catch (const std::exception&) {
    // A failing handler ends at its failing step; the window goes on with its next event.
  }
}

void Control::UserSelect(int index) {
  if (index < -1 || index >= ListCount()) return;
  listIndex_ = index;
  RaiseClick();
}

void Control::UserEdit(std::wstring text) {
  text_ = std::move(text);
}

void Control::AttachView(ControlView* view) {
  view_ = view;
}

}  // namespace revivix
