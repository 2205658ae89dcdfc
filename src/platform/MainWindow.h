// What the wizard does to its own main window beyond the control model: its frame style, its
// system menu, its place above other windows, and its end.
#pragma once

#include <cstdint>

namespace revivix {

class MainWindow {
 public:
  static constexpr std::uint32_t kMaximizeBox = 0x10000;
  static constexpr std::uint32_t kSizingBorder = 0x40000;

  virtual ~MainWindow() = default;
  virtual std::uint32_t GetStyle() = 0;
  virtual void SetStyle(std::uint32_t style) = 0;
  // Removes the item at `position` (counted from 0) of the window's system menu.
  virtual void RemoveSystemMenuItem(int position) = 0;
  // Places the window above all others without moving or resizing it.
  virtual void MakeTopmost() = 0;
  // Destroys the window; the program ends when it is gone.
  virtual void Destroy() = 0;
};

}  // namespace revivix
