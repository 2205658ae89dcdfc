// How a control whose text does not fit its design size takes more room: message labels grow
// downward, short labels grow sideways into the free space beside them. The rules work on pixel
// boxes in one coordinate space (the main window's client area); the views measure the texts and
// apply the results. A control never shrinks below its design size and never grows over another
// visible control or out of its container.
#pragma once

#include <vector>

namespace revivix {

struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelBox&) const = default;
};

// True when the two boxes share an area (touching edges do not).
bool Overlap(const PixelBox& a, const PixelBox& b);

// The height a label takes that grows downward keeping its left, top and width: the height its
// wrapped text needs, at least its design height, and down to `limit` at most, which is the
// bottom of its container or the top of the nearest of `others` below it that shares columns
// with it, whichever is higher. A design height that already reaches past the limit is kept.
int GrownHeight(const PixelBox& design, int neededHeight, int containerBottom,
                const std::vector<PixelBox>& others);

// Which edge of a short label stays where it is when it grows sideways.
enum class Anchor {
  Left,    // text starts at the left edge: the label grows to the right
  Right,   // text ends at the right edge, next to the control it labels: it grows to the left
  Centre,  // centred text: it grows to both sides alike, and further to the side with room
};

// The box of a single-line label that grows sideways to `neededWidth`, within
// [containerLeft, containerRight] and without reaching into any of `others` that lies on the
// same rows. Its top and bottom are kept. A label that fits keeps its design box.
PixelBox WidenedBox(const PixelBox& design, int neededWidth, Anchor anchor, int containerLeft,
                    int containerRight, const std::vector<PixelBox>& others);

}  // namespace revivix
