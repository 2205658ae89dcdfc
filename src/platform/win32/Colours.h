// Colours of the control model on GDI: &HBBGGRR values are COLORREFs already; a value with the
// top bit set names a system colour by the index in its low byte. Brushes are shared by colour
// and deleted when the last control using them lets go.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

namespace revivix::win32 {

COLORREF ToColorRef(std::uint32_t colour);

// Twips (1/1440 inch) to pixels at `dpi` dots per inch, rounded to the nearest pixel.
inline int TwipsToPixels(int twips, int dpi) {
  return MulDiv(twips, dpi, 1440);
}

class BrushCache {
 public:
  BrushCache() = default;
  ~BrushCache();
  BrushCache(const BrushCache&) = delete;
  BrushCache& operator=(const BrushCache&) = delete;

  // A brush of `colour`, counted as used once more.
  HBRUSH Acquire(std::uint32_t colour);
  // One user fewer; the brush is deleted when it has none left.
  void Release(std::uint32_t colour);
  // The brush of a colour in use, or nullptr.
  HBRUSH Find(std::uint32_t colour) const;
  std::size_t Size() const { return brushes_.size(); }

 private:
  struct Entry {
    HBRUSH brush;
    int users;
  };
  std::map<std::uint32_t, Entry> brushes_;
};

}  // namespace revivix::win32
