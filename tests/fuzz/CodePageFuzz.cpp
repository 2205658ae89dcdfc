// The ANSI conversions of the Windows layer, on code pages 1252, 1251, 932 and UTF-8: any bytes
// decode within bounds, and whatever encodes decodes back to exactly the same text (no
// look-alike ever stands in for a character).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestCodePages.h"
#include "common/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace revivix;
  if (size == 0) return 0;
  static const CodePage utf8 = CodePage::Utf8();
  const std::uint32_t ids[] = {1252, 1251, 932, 65001};
  const std::uint32_t id = ids[data[0] % 4];
  const CodePage& page = id == 65001 ? utf8 : test::TestCodePage(id);
  const std::uint8_t* bytes = data + 1;
  const std::size_t count = size - 1;

  // Bytes to text: at most one unit per byte (two for a four-byte UTF-8 sequence on 16-bit
  // text), every unit's start inside the input and in order.
  std::vector<std::size_t> starts;
  const std::wstring text = page.Decode(bytes, count, &starts);
  if (text.size() > count || starts.size() != text.size() + 1 || starts.back() != count)
    std::abort();
  for (std::size_t i = 0; i + 1 < starts.size(); ++i)
    if (starts[i] > starts[i + 1] || starts[i] >= count) std::abort();
  if (page.Decode(bytes, count) != text) std::abort();

  // Text to bytes, exactly or not at all: the decoded text, and the input read as UTF-16 units.
  const auto again = page.Encode(text);
  if (again && page.Decode(*again) != text) std::abort();
  std::wstring units;
  for (std::size_t i = 0; i + 1 < count; i += 2)
    units.push_back(static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8));
  if (const auto encoded = page.Encode(units); encoded && page.Decode(*encoded) != units)
    std::abort();
  return 0;
}
