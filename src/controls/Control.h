// The control model: every control of the main window stores its properties here and raises its
// events from here. A view (a real window in the program, none in the tests) mirrors the model;
// user input in a view writes the model and raises the event. The model is the truth.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace revivix {

enum class ControlKind {
  Form,
  Frame,
  Label,
  DropDownList,
  TextBox,
  ListBox,
  UniFrame,
  UniButton,
  UniLabel,
  UniText,
  VistaProg,
};

// Positions and sizes are in twips, relative to the container.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Design-time look that never changes at run time.
struct ControlStyle {
  bool border = true;    // frames: drawn with a border and caption line
  bool bold = false;     // caption font weight
  bool centred = false;  // caption alignment
  std::wstring fontName = L"Arial";
};

// The shaded border of a skinned button: rings of one pixel, the outermost first. Ring i is the
// rounded rectangle from (i, i) to (width - i, height - i) with a corner ellipse of corner by
// corner pixels; the area inside the innermost ring is cut away so the button's face shows.
struct ButtonSkin {
  int width = 0;   // pixels
  int height = 0;  // pixels
  int corner = 0;
  std::vector<std::uint32_t> rings;  // &HBBGGRR colours
};

enum class Property {
  Left,
  Top,
  Width,
  Height,
  Visible,
  Enabled,
  Caption,
  Text,
  BackColor,
  ForeColor,
  Items,      // the entries were replaced (or cleared): a view shows them afresh
  ItemAdded,  // one entry was added at the end: a view adds that one
  ListIndex,
  Focus,
  Locked,
  Bar,   // the progress bar's pieces were redrawn
  Skin,  // the button got its shaded border
};

// Thrown where setting a property is refused, as setting a drop-down list to a text that is
// not one of its entries.
class ControlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void Changed(Property property) = 0;
};

class Control {
 public:
  Control(std::string name, ControlKind kind, Control* container, TwipsRect design, bool visible,
          std::wstring caption, ControlStyle style = {});
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  Control* Container() const { return container_; }
  const ControlStyle& Style() const { return style_; }

  int Left() const { return rect_.left; }
  int Top() const { return rect_.top; }
  int Width() const { return rect_.width; }
  int Height() const { return rect_.height; }
  void SetLeft(int twips);
  void SetTop(int twips);
  virtual void SetWidth(int twips);
  virtual void SetHeight(int twips);
  void Move(int left, int top);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Colours are &HBBGGRR values.
  std::uint32_t BackColor() const { return backColor_; }
  void SetBackColor(std::uint32_t colour);
  std::uint32_t ForeColor() const { return foreColor_; }
  void SetForeColor(std::uint32_t colour);

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);

  // A drop-down list's text is its selected entry ("" without a selection); setting it selects
  // the entry with that text, regardless of letter case, and fails for any other text. Other
  // controls store their text.
  std::wstring Text() const;
  void SetText(std::wstring text);

  // List entries of drop-down lists and list boxes. Selecting in code raises Click, as a pick
  // by the user does.
  void AddItem(std::wstring entry);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::wstring& List(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  int ListIndex() const { return listIndex_; }
  void SetListIndex(int index);

  bool HasFocus() const { return focused_; }
  // A handler gives this control the keyboard focus. The window (the outermost container) keeps
  // the control last given it and a count of the gifts, so that the keyboard layer can tell
  // whether a handler has chosen the focus since it last looked.
  void SetFocus();
  const Control* LastFocusGiven() const { return lastFocusGiven_; }
  std::uint64_t FocusGivenCount() const { return focusGivenCount_; }

  // The license box's read-only switch (its Boolean property number 4).
  bool Locked() const { return locked_; }
  void SetLocked(bool locked);

  const std::optional<ButtonSkin>& Skin() const { return skin_; }
  void SetSkin(ButtonSkin skin);

  // Events.
  std::function<void()> Click;
  void RaiseClick();

  // Input from a view: the view already shows the new state, so it is not echoed back.
  void UserSelect(int index);
  void UserEdit(std::wstring text);

  void AttachView(ControlView* view);
  ControlView* View() const { return view_; }

 protected:
  void Notify(Property property);
  TwipsRect rect_;

 private:
  std::string name_;
  ControlKind kind_;
  Control* container_;
  ControlStyle style_;
  bool visible_;
  bool enabled_ = true;
  std::uint32_t backColor_ = 0x8000000F;  // the system's button-face colour
  std::uint32_t foreColor_ = 0x80000012;  // the system's button-text colour
  std::wstring caption_;
  std::wstring text_;
  std::vector<std::wstring> items_;
  int listIndex_ = -1;
  bool focused_ = false;
  const Control* lastFocusGiven_ = nullptr;  // on the window only
  std::uint64_t focusGivenCount_ = 0;        // on the window only
  bool locked_ = false;
  std::optional<ButtonSkin> skin_;
  ControlView* view_ = nullptr;
};

// Colours with the top bit set name a system colour (index in the low byte).
constexpr bool IsSystemColour(std::uint32_t colour) {
  return (colour & 0x80000000u) != 0;
}

}  // namespace revivix
