// Rounded corners and a shaded border for every Unicode button of a window: concentric rounded
// rectangles in colours graded from one colour to another, the innermost cut away so the
// button's own face and caption show through.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/Control.h"

namespace revivix {

inline constexpr int kButtonFaceIndex = 15;

struct ScreenMetrics {
  int twipsPerPixelX = 15;
  int twipsPerPixelY = 15;
  std::uint32_t buttonFace = 0xF0F0F0;  // the system's button-face colour, &HBBGGRR
};

// Splits an &HBBGGRR colour into its red, green and blue bytes. A system colour (top bit set)
// stands for the button face, whichever system colour it names.
void SplitColor(std::uint32_t color, int& red, int& green, int& blue, std::uint32_t buttonFace);

// Skins every UniButton among `controls`. Mode 0 does nothing; mode 3 grades from the button's
// back colour outside to `color` inside; other modes from `color` outside to the button's back
// colour, mode 2 taking `color` from the button's container.
void SkinButtons(const std::vector<Control*>& controls, int mode, std::uint32_t color, int corner,
                 int steps, const ScreenMetrics& screen);

}  // namespace revivix
