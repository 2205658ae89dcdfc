#include "detection/SiteAddress.h"

#include "common/Text.h"
#include "i18n/MProfileString.h"

namespace revivix {

namespace {

std::wstring WithoutTrailingSlashes(std::wstring address) {
  address = Trim(address);
  while (!address.empty() && address.back() == L'/') address.pop_back();
  return address;
}

}  // namespace

std::wstring SiteAddress(Program& program) {
  if (!program.siteAddress) {
    std::wstring configured;
    try {
      const std::wstring file = program.ports.system.ProgramFolder() + L"\\site.ini";
      if (program.ports.files.FileExists(file))
        configured = GetIniString(program, L"Site", L"Address", L"", 2048, file);
    } catch (const std::exception&) {
      // An unreadable site.ini leaves the built-in address in force.
    }
    configured = WithoutTrailingSlashes(configured);
    program.siteAddress =
        configured.empty() ? WithoutTrailingSlashes(kBuiltInSiteAddress) : configured;
  }
  return *program.siteAddress;
}

std::wstring DatabaseAddress(frmMain& form) {
  return SiteAddress(form.program) + kDatabasePath;
}

}  // namespace revivix
