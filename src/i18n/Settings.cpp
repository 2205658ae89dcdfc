#include "i18n/Settings.h"

#include "common/Text.h"
#include "i18n/Lists.h"

namespace revivix {

std::wstring SettingsPath(frmMain& form) {
  return form.program.ports.system.ProgramFolder() + L"\\settings.ini";
}

void LoadSettings(frmMain& form) {
  FileReader& ini = form.program.fileReader;
  ini.LoadIniFile(SettingsPath(form), L"", L"");
  const std::wstring region = ini.ReadIniValue(L"Settings", L"Region");
  const std::wstring language = ini.ReadIniValue(L"Settings", L"Language");
  if (!Trim(region).empty())
    form.Combo_Region.SetText(region);
  else
    form.Combo_Region.SetListIndex(0);
  if (!Trim(language).empty() && UCase(language) != L"CHOOSE LANGUAGE") {
    form.Combo_Language.SetText(language);
    return;
  }
  SelectSystemLanguage(form);
  if (form.Combo_Language.Text().empty()) form.Combo_Language.SetText(L"English");
}

void SaveSettings(frmMain& form) {
  FileReader& ini = form.program.fileReader;
  ini.LoadIniFile(SettingsPath(form), L"", L"");
  ini.WriteIniValue(form.Combo_Region.Text(), L"Settings", L"Region");
  ini.WriteIniValue(form.Combo_Language.Text(), L"Settings", L"Language");
  ini.SaveIniFile(SettingsPath(form));
}

}  // namespace revivix
