// The ANSI code pages the tests run the program on: 1252 (Western), 1251 (Cyrillic) and 932
// (Japanese, one or two bytes per character).
#pragma once

#include <cstdint>

#include "common/CodePage.h"

namespace revivix::test {

// The code page of that number; 1252 for any number other than 1251 and 932.
const CodePage& TestCodePage(std::uint32_t id);

}  // namespace revivix::test
