// Language files come from beside the program and may be damaged or edited by hand: every
// lookup must stay inside its buffer and return a terminated text of at most size - 1.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "MemoryFileSystem.h"
#include "i18n/ProfileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace revivix;
  fuzz::MemoryFileSystem files;
  const std::wstring path = L"C:\\Revivix\\Languages\\Fuzz.txt";
  files.files[path].assign(data, data + size);
  PortableProfileStrings profile(files);
  for (const wchar_t* key : {L"IDS_EXIT", L"ids_help", L"", L"IDS_LONG"}) {
    for (const std::uint32_t bufferSize : {1u, 2u, 17u, 1024u}) {
      std::wstring buffer(bufferSize + 1, L'#');
      const auto n =
          profile.GetPrivateProfileStringW(L"Strings", key, L"", buffer.data(), bufferSize, path);
      if (n >= bufferSize || buffer[n] != L'\0' || buffer[bufferSize] != L'#') std::abort();
    }
  }
  profile.WritePrivateProfileStringW(L"Strings", L"IDS_EXIT", L"Quit", path);
  wchar_t back[16];
  profile.GetPrivateProfileStringW(L"Strings", L"IDS_EXIT", L"", back, 16, path);
  return 0;
}
