#include "controls/mdlSkinButtons.h"

#include <cmath>

namespace revivix {

namespace {

// Rounds to the nearest whole number, halves to even.
int RoundEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

}  // namespace

void SplitColor(std::uint32_t color, int& red, int& green, int& blue, std::uint32_t buttonFace) {
  if (IsSystemColour(color)) color = buttonFace;
  red = static_cast<int>(color & 0xFF);
  green = static_cast<int>((color & 0xFF00) / 256);
  blue = static_cast<int>((color & 0xFF0000) / 65536);
}

void SkinButtons(const std::vector<Control*>& controls, int mode, std::uint32_t color, int corner,
                 int steps, const ScreenMetrics& screen) {
  if (mode == 0 || steps <= 0) return;
  for (Control* button : controls) {
    if (button->Kind() != ControlKind::UniButton) continue;
    if (mode == 2 && button->Container()) color = button->Container()->BackColor();
    ButtonSkin skin;
    skin.width = RoundEven(static_cast<double>(button->Width()) / screen.twipsPerPixelX);
    skin.height = RoundEven(static_cast<double>(button->Height()) / screen.twipsPerPixelY);
    skin.corner = corner;
    const std::uint32_t from = mode == 3 ? button->BackColor() : color;
    const std::uint32_t to = mode == 3 ? color : button->BackColor();
    int fromR, fromG, fromB, toR, toG, toB;
    SplitColor(from, fromR, fromG, fromB, screen.buttonFace);
    SplitColor(to, toR, toG, toB, screen.buttonFace);
    const double dR = static_cast<double>(toR - fromR) / steps;
    const double dG = static_cast<double>(toG - fromG) / steps;
    const double dB = static_cast<double>(toB - fromB) / steps;
    for (int i = 0; i <= steps; ++i) {
      const auto r = static_cast<std::uint32_t>(RoundEven(fromR + i * dR));
      const auto g = static_cast<std::uint32_t>(RoundEven(fromG + i * dG));
      const auto b = static_cast<std::uint32_t>(RoundEven(fromB + i * dB));
      skin.rings.push_back(r | (g << 8) | (b << 16));
    }
    button->SetSkin(std::move(skin));
  }
}

}  // namespace revivix
