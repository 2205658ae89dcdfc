// The progress bar: a left cap, a green fill stretched to the fraction done, a grey track and a
// right cap, 15 pixels high. The model keeps the three integer properties and the geometry and
// pictures of the pieces; a view paints exactly those pieces.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "controls/Control.h"

namespace revivix {

enum class CapPicture { Off, On };

// Pieces of the bar, in twips relative to the control.
struct BarPieces {
  int fillWidth = 15;                     // BarmainGr: left 0
  CapPicture leftCap = CapPicture::Off;   // BarLeft: left 0, 30 wide
  CapPicture rightCap = CapPicture::Off;  // Barright: 30 wide
  int rightCapLeft = 2000;
  int trackLeft = 15;  // Barback
  int trackWidth = 1785;
};

// The control's persisted design data: integer properties by name.
using PropertyBag = std::map<std::string, int>;

class VistaProg : public Control {
 public:
  static constexpr int kCapWidth = 30;
  static constexpr int kBarHeight = 225;

  // A new instance: Max 100, then Min 0, then Value 0, each through its rule.
  VistaProg(std::string name, Control* container, TwipsRect design, bool visible);

  int Value() const { return value_; }
  int Max() const { return max_; }
  int Min() const { return min_; }
  void SetValue(int v);
  void SetMax(int v);
  void SetMin(int v);

  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // Every size change runs the resize rule: fixed height, right cap to the right edge, track as
  // wide as the control, then a redraw.
  void SetWidth(int twips) override;
  void SetHeight(int twips) override;

  const BarPieces& Pieces() const { return pieces_; }

  // Raised with "Value", "Max" or "Min" whenever that property was assigned.
  std::function<void(const std::string&)> PropertyChanged;

 private:
  void Redraw();
  void Resize();
  void Report(const std::string& property);

  int value_ = 0;
  int max_ = 100;
  int min_ = 0;
  BarPieces pieces_;
};

}  // namespace revivix
