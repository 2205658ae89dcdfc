// Texts from outside (device names, database values, window texts) pass through the text rules
// and the decoders; none of them may read or write out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace revivix;
  const std::wstring utf16 = DecodeUtf16Le(data, size);
  const std::wstring ansi = DecodeAnsi1252(data, size);
  const std::wstring utf8 = FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const std::wstring* text : {&utf16, &ansi, &utf8}) {
    const double value = NumericValue(*text);
    if (!(value >= 0)) std::abort();  // never negative, never NaN
    if (Trim(*text).size() > text->size()) std::abort();
    if (UCase(*text).size() != text->size()) std::abort();
    Split(*text, L",");
    Split(*text, L"\r\n");
    ContainsNoCase(*text, L"FERNCLIP");
    ToUtf8(*text);
    EncodeAnsi1252(*text);
  }
  return 0;
}
