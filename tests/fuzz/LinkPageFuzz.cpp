// Link pages come from the maker's web site and may be anything: reading the updater's address
// must never crash, and whatever it returns must be a text with "HTTP" and no double quote, whose
// file name is either refused or a plain name that stays inside the FW folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/Text.h"
#include "download/FirmwareDownload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace revivix;
  // The engine hands over decoded text; both decodings the program knows are tried.
  const std::wstring pages[] = {
      DecodeAnsi1252(data, size),
      FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size))};
  for (const std::wstring& html : pages) {
    const auto link = ReadUpdaterLink(html);
    if (!link || link->empty()) continue;
    if (!ContainsNoCase(*link, L"HTTP") || link->find(L'"') != std::wstring::npos) std::abort();
    const std::wstring name = UpdaterFileName(*link);
    if (name.empty()) continue;
    if (name.find_first_of(L"\\/:<>\"|?*") != std::wstring::npos ||
        name.find(L"..") != std::wstring::npos)
      std::abort();
  }
  return 0;
}
