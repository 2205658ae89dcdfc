// Paints the progress bar's pieces with GDI: each piece is a 2-pixel-wide, 15-row bitmap
// stretched or placed as the model says, drawn here as horizontal bands of its row colours.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "controls/VistaProg.h"

namespace revivix::win32 {

inline constexpr int kBarRows = 15;
using ColumnProfile = std::array<std::uint32_t, kBarRows>;  // 0xRRGGBB, top row first

// The colour profiles of the pieces.
const ColumnProfile& FillProfile();
const ColumnProfile& TrackProfile();
const ColumnProfile& CapOuterProfile();
// The inner column of the left cap (and, mirrored, of the right cap) for a picture.
const ColumnProfile& CapInnerProfile(CapPicture picture);

// Draws the bar into `rect` (the control's client area): the track across the full width and
// height, the fill from the left edge, then the two caps on top.
void PaintBar(HDC dc, const RECT& rect, const BarPieces& pieces, int dpiX);

}  // namespace revivix::win32
