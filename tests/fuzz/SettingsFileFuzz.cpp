// The settings file is read at every start and rewritten at every exit: any content either
// fails cleanly or round-trips through the reader and writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "MemoryFileSystem.h"
#include "i18n/FileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace revivix;
  fuzz::MemoryFileSystem files;
  const std::wstring path = L"C:\\Revivix\\settings.ini";
  files.files[path].assign(data, data + size);
  const CodePage codePage = CodePage::Windows1252();
  FileReader reader(files, codePage);
  try {
    reader.LoadIniFile(path, L"Settings", L"Region");
    reader.ReadIniValue(L"Settings", L"Language");
    reader.WriteIniValue(L"Europe", L"Settings", L"Region");
    reader.WriteIniValue(L"German", L"Settings", L"Language");
    reader.SaveIniFile(path);
    // What was written reads back as the same table of named sections.
    const int sections = static_cast<int>(reader.IniSections().size());
    reader.LoadIniFile(path, L"", L"");
    if (static_cast<int>(reader.IniSections().size()) > sections) std::abort();
  } catch (const IniError&) {
    // A damaged file ends the operation; the settings stay as they were.
  }
  return 0;
}
