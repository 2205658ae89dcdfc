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
  RunLog& log = form.program.log;
  if (!Trim(region).empty()) {
    form.Combo_Region.SetText(region);
    log.Write(logtag::kLanguage, L"region " + form.Combo_Region.Text() + L" from settings.ini");
  } else {
    form.Combo_Region.SetListIndex(0);
    log.Write(logtag::kLanguage,
              L"region " + form.Combo_Region.Text() + L" (none in settings.ini)");
  }
  if (!Trim(language).empty() && UCase(language) != L"CHOOSE LANGUAGE") {
    form.Combo_Language.SetText(language);
    log.Write(logtag::kLanguage, L"language " + form.Combo_Language.Text() + L" from settings.ini");
    return;
  }
  SelectSystemLanguage(form);
  if (!form.Combo_Language.Text().empty()) {
    log.Write(logtag::kLanguage,
              L"language " + form.Combo_Language.Text() + L" from the system's language");
    return;
  }
  form.Combo_Language.SetText(L"English");
  log.Write(logtag::kLanguage, L"language English (the system's language is not in the list)");
}

void SaveSettings(frmMain& form) {
  FileReader& ini = form.program.fileReader;
  ini.LoadIniFile(SettingsPath(form), L"", L"");
  ini.WriteIniValue(form.Combo_Region.Text(), L"Settings", L"Region");
  ini.WriteIniValue(form.Combo_Language.Text(), L"Settings", L"Language");
  ini.SaveIniFile(SettingsPath(form));
}

}  // namespace revivix
