#include "platform/win32/VistaProgPainter.h"

#include "platform/win32/Colours.h"

namespace revivix::win32 {

namespace {

COLORREF FromRgb(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

constexpr ColumnProfile kFill = {0xB2B2B2, 0xCDFFCD, 0xCDFFCD, 0xC5FAC9, 0xADF3B8,
                                 0xA2EFAF, 0x9CEDAC, 0x00D228, 0x00D228, 0x01D329,
                                 0x05D62A, 0x0AD92C, 0x10DE2E, 0x1CE133, 0x8C8C8C};
constexpr ColumnProfile kTrack = {0xB2B2B2, 0xF3F3F3, 0xFCFCFC, 0xEFEFEF, 0xE6E6E6,
                                  0xDEDEDE, 0xDBDBDB, 0xCACACA, 0xCACACA, 0xCCCCCC,
                                  0xCECECE, 0xD1D1D1, 0xD5D5D5, 0xEAEAEA, 0x8C8C8C};
constexpr ColumnProfile kCapOuter = {0xF7F7F7, 0xBDBDBD, 0xAEAEAE, 0xABABAB, 0xA8A8A8,
                                     0xA5A5A5, 0xA1A1A1, 0x9E9E9E, 0x9E9E9E, 0x9B9B9B,
                                     0x979797, 0x949494, 0x919191, 0xA1A1A1, 0xF3F3F3};
constexpr ColumnProfile kCapInnerOff = {0xC9C9C9, 0xDADADA, 0xF3F3F3, 0xEDEDED, 0xE5E5E5,
                                        0xE0E0E0, 0xDDDDDD, 0xD1D1D1, 0xD1D1D1, 0xD1D1D1,
                                        0xD2D2D2, 0xD1D1D1, 0xD3D3D3, 0xC3C3C3, 0x9E9E9E};
// The lit cap shows the fill's colours in rows 2 to 14 and keeps the off cap's first and last row.
constexpr ColumnProfile kCapInnerOn = {0xC9C9C9, 0xCDFFCD, 0xCDFFCD, 0xC5FAC9, 0xADF3B8,
                                       0xA2EFAF, 0x9CEDAC, 0x00D228, 0x00D228, 0x01D329,
                                       0x05D62A, 0x0AD92C, 0x10DE2E, 0x1CE133, 0x9E9E9E};

// Fills columns [left, right) with the profile stretched over the rows of `rect`.
void PaintColumn(HDC dc, const RECT& rect, int left, int right, const ColumnProfile& profile) {
  if (right <= left) return;
  const int height = rect.bottom - rect.top;
  HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  for (int row = 0; row < kBarRows; ++row) {
    RECT band{left, rect.top + row * height / kBarRows, right,
              rect.top + (row + 1) * height / kBarRows};
    if (band.bottom <= band.top) continue;
    SetDCBrushColor(dc, FromRgb(profile[static_cast<std::size_t>(row)]));
    FillRect(dc, &band, brush);
  }
}

}  // namespace

const ColumnProfile& FillProfile() {
  return kFill;
}
const ColumnProfile& TrackProfile() {
  return kTrack;
}
const ColumnProfile& CapOuterProfile() {
  return kCapOuter;
}
const ColumnProfile& CapInnerProfile(CapPicture picture) {
  return picture == CapPicture::On ? kCapInnerOn : kCapInnerOff;
}

void PaintBar(HDC dc, const RECT& rect, const BarPieces& pieces, int dpiX) {
  const auto px = [dpiX](int twips) { return TwipsToPixels(twips, dpiX); };
  const int x0 = rect.left;
  // The track lies across the bar's full height: the designer's offset below the bar would put
  // it outside the 15-pixel control.
  PaintColumn(dc, rect, x0 + px(pieces.trackLeft), x0 + px(pieces.trackLeft + pieces.trackWidth),
              kTrack);
  PaintColumn(dc, rect, x0, x0 + px(pieces.fillWidth), kFill);

  // Each cap is two columns wide: outer and inner, mirrored on the right.
  const int capWidth = px(VistaProg::kCapWidth);
  const int half = capWidth / 2;
  PaintColumn(dc, rect, x0, x0 + half, kCapOuter);
  PaintColumn(dc, rect, x0 + half, x0 + capWidth, CapInnerProfile(pieces.leftCap));
  const int right = x0 + px(pieces.rightCapLeft);
  PaintColumn(dc, rect, right, right + capWidth - half, CapInnerProfile(pieces.rightCap));
  PaintColumn(dc, rect, right + capWidth - half, right + capWidth, kCapOuter);
}

}  // namespace revivix::win32
