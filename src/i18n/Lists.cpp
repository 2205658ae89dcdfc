#include "i18n/Lists.h"

#include "common/Text.h"
#include "i18n/CLocaleInfo.h"

namespace revivix {

namespace {

constexpr const wchar_t* kRegions[] = {L"Choose Region", L"Europe", L"Rest of the World"};

constexpr const wchar_t* kLanguages[] = {L"Choose Language",
                                         L"English",
                                         L"Brazilian Portuguese",
                                         L"French",
                                         L"Italian",
                                         L"German",
                                         L"Spanish",
                                         L"Dutch",
                                         L"Finnish",
                                         L"Danish",
                                         L"Swedish",
                                         L"Norwegian",
                                         L"Chinese Traditional",
                                         L"Chinese Simplified",
                                         L"Japanese",
                                         L"Russian",
                                         L"Polish",
                                         L"Czech"};

// Systems whose English language name is not an entry of the list.
struct SystemLanguage {
  const wchar_t* code;
  const wchar_t* entry;
};
constexpr SystemLanguage kSystemLanguages[] = {{L"0804", L"Chinese Simplified"},
                                               {L"0404", L"Chinese Traditional"},
                                               {L"0414", L"Norwegian"},
                                               {L"0814", L"Norwegian"},
                                               {L"0416", L"Brazilian Portuguese"}};

}  // namespace

void FillLanguageAndRegionLists(frmMain& form) {
  form.Combo_Region.Clear();
  form.Combo_Language.Clear();
  for (const wchar_t* r : kRegions) form.Combo_Region.AddItem(r);
  for (const wchar_t* l : kLanguages) form.Combo_Language.AddItem(l);
}

int FindComboItem(const std::wstring& text, const Control& list) {
  for (int i = 0; i < list.ListCount(); ++i)
    if (list.List(i) == text) return i;
  return -1;
}

void SelectSystemLanguage(frmMain& form) {
  std::wstring code, name;
  {
    CLocaleInfo locale(form.program.ports.system);
    locale.SetAllowUserOverride(true);
    code = Trim(locale.LocaleInfo(kLocaleLanguageId));
    name = Trim(locale.LocaleInfo(kLocaleEnglishName));
  }
  const int found = FindComboItem(name, form.Combo_Language);
  if (found >= 0) {
    form.Combo_Language.SetListIndex(found);
    return;
  }
  for (const auto& row : kSystemLanguages) {
    if (code == row.code) {
      form.Combo_Language.SetText(row.entry);
      return;
    }
  }
}

bool ComputeLanguageAndRegionChosen(const frmMain& form) {
  return UCase(Trim(form.Combo_Language.Text())) != L"CHOOSE LANGUAGE" &&
         UCase(Trim(form.Combo_Region.Text())) != L"CHOOSE REGION";
}

}  // namespace revivix
