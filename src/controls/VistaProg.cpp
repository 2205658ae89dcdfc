#include "controls/VistaProg.h"

#include <cmath>
#include <utility>

namespace revivix {

VistaProg::VistaProg(std::string name, Control* container, TwipsRect design, bool visible)
    : Control(std::move(name), ControlKind::VistaProg, container, design, visible, L"") {
  SetMax(100);
  SetMin(0);
  SetValue(0);
  Resize();
}

void VistaProg::Report(const std::string& property) {
  if (PropertyChanged) PropertyChanged(property);
}

void VistaProg::SetValue(int v) {
  if (v > max_) v = max_;
  if (v < min_) v = min_;
  value_ = v;
  Redraw();
  Report("Value");
}

void VistaProg::SetMax(int v) {
  if (v < 1) v = 1;
  if (v <= min_) v = min_ + 1;
  max_ = v;
  if (value_ > max_) SetValue(max_);
  Redraw();
  Report("Max");
}

void VistaProg::SetMin(int v) {
  if (v >= max_) v = max_ - 1;
  if (v < 0) v = 0;
  min_ = v;
  if (value_ < min_) SetValue(min_);
  Redraw();
  Report("Min");
}

void VistaProg::ReadProperties(const PropertyBag& bag) {
  const auto read = [&bag](const char* key, int fallback) {
    const auto it = bag.find(key);
    return it == bag.end() ? fallback : it->second;
  };
  SetMax(read("Max", 100));
  SetMin(read("Min", 0));
  SetValue(read("Value", 0));
}

void VistaProg::WriteProperties(PropertyBag& bag) const {
  // A value equal to its default is not stored.
  const auto write = [&bag](const char* key, int value, int fallback) {
    if (value != fallback)
      bag[key] = value;
    else
      bag.erase(key);
  };
  write("Max", max_, 100);
  write("Min", min_, 0);
  write("Value", value_, 0);
}

void VistaProg::Redraw() {
  const double percent = static_cast<double>(value_) * 100.0 / max_;
  // nearbyint rounds in the default mode: to nearest, ties to even.
  const int fill = static_cast<int>(std::nearbyint(Width() * percent / 100.0));
  if (value_ == 0) {
    pieces_.fillWidth = 15;
    pieces_.rightCap = CapPicture::Off;
    pieces_.leftCap = CapPicture::Off;
  }
  if (value_ >= 1) {
    pieces_.leftCap = CapPicture::On;
    pieces_.fillWidth = fill;
  }
  // A full bar lights the right cap too, so that it reads as complete.
  if (value_ < max_)
    pieces_.rightCap = CapPicture::Off;
  else if (value_ >= 1)
    pieces_.rightCap = CapPicture::On;
  Notify(Property::Bar);
}

void VistaProg::Resize() {
  rect_.height = kBarHeight;
  pieces_.rightCapLeft = Width() - kCapWidth;
  pieces_.trackWidth = Width();
  Redraw();
}

void VistaProg::SetWidth(int twips) {
  Control::SetWidth(twips);
  Resize();
}

void VistaProg::SetHeight(int twips) {
  Control::SetHeight(twips);
  Resize();
  Notify(Property::Height);
}

}  // namespace revivix
