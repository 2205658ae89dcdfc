#include "platform/win32/Colours.h"

namespace revivix::win32 {

COLORREF ToColorRef(std::uint32_t colour) {
  if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
  return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

BrushCache::~BrushCache() {
  for (auto& [colour, entry] : brushes_) DeleteObject(entry.brush);
}

HBRUSH BrushCache::Acquire(std::uint32_t colour) {
  auto it = brushes_.find(colour);
  if (it == brushes_.end())
    it = brushes_.emplace(colour, Entry{CreateSolidBrush(ToColorRef(colour)), 0}).first;
  ++it->second.users;
  return it->second.brush;
}

void BrushCache::Release(std::uint32_t colour) {
  const auto it = brushes_.find(colour);
  if (it == brushes_.end()) return;
  if (--it->second.users > 0) return;
  DeleteObject(it->second.brush);
  brushes_.erase(it);
}

HBRUSH BrushCache::Find(std::uint32_t colour) const {
  const auto it = brushes_.find(colour);
  return it == brushes_.end() ? nullptr : it->second.brush;
}

}  // namespace revivix::win32
