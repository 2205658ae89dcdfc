// The progress bar as the user sees it: painted into a bitmap, each piece shows the colour
// profile of its picture, row by row, at the place the model gives it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "controls/VistaProg.h"
#include "platform/win32/VistaProgPainter.h"

namespace revivix {
namespace {

// Rows 1, 2, 8 and 15 of the bitmaps, as 0xRRGGBB.
struct Rows {
  std::uint32_t row1, row2, row8, row15;
};
constexpr Rows kFill{0xB2B2B2, 0xCDFFCD, 0x00D228, 0x8C8C8C};
constexpr Rows kTrack{0xB2B2B2, 0xF3F3F3, 0xCACACA, 0x8C8C8C};
constexpr Rows kCapOuter{0xF7F7F7, 0xBDBDBD, 0x9E9E9E, 0xF3F3F3};
constexpr Rows kCapInnerOff{0xC9C9C9, 0xDADADA, 0xD1D1D1, 0x9E9E9E};
constexpr Rows kCapInnerOn{0xC9C9C9, 0xCDFFCD, 0x00D228, 0x9E9E9E};

// A bar of `widthTwips` painted at 96 dpi into a memory bitmap.
class Painted {
 public:
  Painted(int widthTwips, int max, int value) : width_(widthTwips / 15) {
    VistaProg bar("bar", nullptr, {0, 0, widthTwips, 225}, true);
    bar.SetMax(max);
    bar.SetValue(value);
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -15, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    const RECT all{0, 0, width_, 15};
    win32::PaintBar(dc_, all, bar.Pieces(), 96);
  }
  ~Painted() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  // The colour at column x of row (1-based, as the bitmaps' tables count), as 0xRRGGBB.
  std::uint32_t At(int x, int row) const {
    const COLORREF c = GetPixel(dc_, x, row - 1);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  void ExpectColumn(int x, const Rows& rows, const char* piece) const {
    EXPECT_EQ(At(x, 1), rows.row1) << piece << " at x=" << x << ", row 1";
    EXPECT_EQ(At(x, 2), rows.row2) << piece << " at x=" << x << ", row 2";
    EXPECT_EQ(At(x, 8), rows.row8) << piece << " at x=" << x << ", row 8";
    EXPECT_EQ(At(x, 15), rows.row15) << piece << " at x=" << x << ", row 15";
  }
  int Width() const { return width_; }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

TEST(VistaProgPaint, SevenTenthsOfAThreeThousandTwipBar) {
  const Painted bar(3000, 1000, 700);  // 200 pixels, 140 of them filled
  bar.ExpectColumn(0, kCapOuter, "left cap");
  bar.ExpectColumn(1, kCapInnerOn, "lit left cap");
  bar.ExpectColumn(2, kFill, "fill");
  bar.ExpectColumn(139, kFill, "last filled column");
  bar.ExpectColumn(140, kTrack, "track");
  bar.ExpectColumn(197, kTrack, "track");
  bar.ExpectColumn(198, kCapInnerOff, "right cap");
  bar.ExpectColumn(199, kCapOuter, "right cap");
}

TEST(VistaProgPaint, EmptyAndFullBars) {
  const Painted empty(4815, 100, 0);
  empty.ExpectColumn(1, kCapInnerOff, "unlit left cap");
  empty.ExpectColumn(2, kTrack, "track");
  empty.ExpectColumn(empty.Width() - 2, kCapInnerOff, "right cap");

  const Painted full(4815, 100, 100);
  full.ExpectColumn(full.Width() - 3, kFill, "fill");
  full.ExpectColumn(full.Width() - 2, kCapInnerOn, "lit right cap");
  full.ExpectColumn(full.Width() - 1, kCapOuter, "right cap");
}

}  // namespace
}  // namespace revivix
