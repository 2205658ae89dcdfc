#include "i18n/LanguageFile.h"

#include "common/Text.h"

namespace revivix {

void ResolveLanguageFile(frmMain& form, bool atStartUp) {
  const std::wstring language = form.Combo_Language.Text();
  const bool chosen = !language.empty() && language != L"Choose Language";
  if (atStartUp) form.LanguageFilePath.clear();
  if (!chosen && !atStartUp) return;
  const std::wstring folder = form.program.ports.system.ProgramFolder() + L"\\Languages\\";
  if (chosen) form.LanguageFilePath = folder + Trim(language) + L".txt";
  if (!form.program.SharedFileSystem().FileExists(form.LanguageFilePath))
    form.LanguageFilePath = folder + L"English.txt";
}

}  // namespace revivix
