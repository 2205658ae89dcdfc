#include "controls/TextFit.h"

#include <algorithm>

namespace revivix {

namespace {

bool SharesColumns(const PixelBox& a, const PixelBox& b) {
  return a.left < b.right && b.left < a.right;
}

bool SharesRows(const PixelBox& a, const PixelBox& b) {
  return a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

bool Overlap(const PixelBox& a, const PixelBox& b) {
  return SharesColumns(a, b) && SharesRows(a, b);
}

int GrownHeight(const PixelBox& design, int neededHeight, int containerBottom,
                const std::vector<PixelBox>& others) {
  int limit = containerBottom;
  for (const PixelBox& other : others)
    if (SharesColumns(design, other) && other.top >= design.top) limit = std::min(limit, other.top);
  const int room = limit - design.top;
  const int height = std::min(neededHeight, room);
  return std::max(design.Height(), height);
}

PixelBox WidenedBox(const PixelBox& design, int neededWidth, Anchor anchor, int containerLeft,
                    int containerRight, const std::vector<PixelBox>& others) {
  const int extra = neededWidth - design.Width();
  if (extra <= 0) return design;
  // The free space on each side: up to the container's edge or the nearest control on the same
  // rows.
  int leftLimit = containerLeft;
  int rightLimit = containerRight;
  for (const PixelBox& other : others) {
    if (!SharesRows(design, other)) continue;
    if (other.right <= design.left) leftLimit = std::max(leftLimit, other.right);
    if (other.left >= design.right) rightLimit = std::min(rightLimit, other.left);
  }
  const int leftRoom = std::max(0, design.left - leftLimit);
  const int rightRoom = std::max(0, rightLimit - design.right);
  int toLeft = 0;
  int toRight = 0;
  switch (anchor) {
    case Anchor::Left:
      toRight = std::min(extra, rightRoom);
      break;
    case Anchor::Right:
      toLeft = std::min(extra, leftRoom);
      break;
    case Anchor::Centre:
      toLeft = std::min(extra / 2, leftRoom);
      toRight = std::min(extra - toLeft, rightRoom);
      toLeft = std::min(extra - toRight, leftRoom);
      break;
  }
  PixelBox box = design;
  box.left -= toLeft;
  box.right += toRight;
  return box;
}

}  // namespace revivix
