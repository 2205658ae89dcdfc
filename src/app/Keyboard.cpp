#include "app/Keyboard.h"

#include <algorithm>
#include <utility>

#include "app/Pages.h"
#include "i18n/Lists.h"

namespace revivix {

namespace {

// Visible as the user sees it: the control and every container up to the window.
bool Shown(const Control& control) {
  for (const Control* c = &control; c && c->Kind() != ControlKind::Form; c = c->Container())
    if (!c->Visible()) return false;
  return true;
}

// Shown and enabled, with every container enabled: a control the user can operate.
bool Reachable(const Control& control) {
  if (!Shown(control)) return false;
  for (const Control* c = &control; c && c->Kind() != ControlKind::Form; c = c->Container())
    if (!c->Enabled()) return false;
  return true;
}

// Position on the window in twips: the offsets of the containers added up.
std::pair<int, int> WindowPosition(const Control& control) {
  int top = 0;
  int left = 0;
  for (const Control* c = &control; c && c->Kind() != ControlKind::Form; c = c->Container()) {
    top += c->Top();
    left += c->Left();
  }
  return {top, left};
}

Control* IfReachable(Control& control) {
  return Reachable(control) ? &control : nullptr;
}

// A list still shows its placeholder (its first entry) or nothing.
bool WithoutChoice(const Control& list) {
  const std::wstring text = list.Text();
  return text.empty() || (list.ListCount() > 0 && text == list.List(0));
}

bool AsksForRegionAndLanguage(frmMain& form) {
  if (ComputeLanguageAndRegionChosen(form)) return false;
  return form.Uni_Error_Label1.Caption() ==
         form.UserName + L", " + LookUp(form, L"IDS_CHOOSE_REGION_LANGUAGE");
}

}  // namespace

WizardPage CurrentPage(frmMain& form) {
  // Accept arms the result watch Timer5 when the updater has started; FinishUpgrade stops it.
  if (form.Timer5.Enabled()) return WizardPage::UpdaterRunning;
  if (Shown(form.Frame_4_Download_Progress)) return WizardPage::Download;
  if (Shown(form.Frame_DetectPlayer_by_SNO)) {
    // Refresh during the knowledge-base question can leave Yes and No beside Next.
    if (form.Cmd_Next.Visible()) return WizardPage::ModelAndSerialNumber;
    if (form.UniLabel_New_Version_Info.Visible()) return WizardPage::UpdateNotice;
    if (form.CmdNo.Visible()) return WizardPage::KnowledgeBaseQuestion;
    return WizardPage::ModelAndSerialNumber;
  }
  if (Shown(form.Cmd_I_Agree)) return WizardPage::License;
  if (Shown(form.Frame_Error_Handling)) {
    if (AsksForRegionAndLanguage(form)) return WizardPage::ChooseRegionAndLanguage;
    if (Shown(form.cmdExit)) return WizardPage::Message;
  }
  if (Shown(form.VistaProg1)) return WizardPage::Detecting;
  return WizardPage::Start;
}

Control* ForwardButton(frmMain& form) {
  switch (CurrentPage(form)) {
    case WizardPage::License:
      return IfReachable(form.Cmd_I_Agree);
    case WizardPage::ModelAndSerialNumber:
      return IfReachable(form.Cmd_Next);
    // The button the question gives the focus to.
    case WizardPage::KnowledgeBaseQuestion:
      return IfReachable(form.CmdYes);
    // The choice that keeps the wizard going.
    case WizardPage::UpdateNotice:
      return IfReachable(form.CmdNo);
    case WizardPage::Message:
      return IfReachable(form.cmdExit);
    default:
      return nullptr;
  }
}

bool EscapeCloses(const frmMain& form) {
  return !form.Timer5.Enabled();
}

KeyAction ActionOfKey(frmMain& form, const Control* focused, Key key) {
  KeyAction action;
  switch (key) {
    case Key::Enter:
      // The default button follows the focus while it is on a push button.
      if (focused && focused->Kind() == ControlKind::UniButton)
        action.press = InTabOrder(form, focused);
      if (!action.press) action.press = ForwardButton(form);
      break;
    case Key::Escape:
      action.close = EscapeCloses(form);
      break;
  }
  return action;
}

std::vector<Control*> TabOrder(frmMain& form) {
  Control* const candidates[] = {
      &form.Combo_Region, &form.Combo_Language, &form.Combo_Choose_Player,
      &form.txtSNO,       &form.CmdYes,         &form.CmdNo,
      &form.Cmd_Next,     &form.UnitxtLicense,  &form.UniButton_Help,
      &form.UniRefresh,   &form.Cmd_I_Disagree, &form.Cmd_I_Agree,
      &form.cmdExit};
  std::vector<Control*> order;
  for (Control* c : candidates) {
    if (!Reachable(*c)) continue;
    // Accept lies above Exit in the place they share: while Accept shows, Exit cannot be seen.
    if (c == &form.cmdExit && Shown(form.Cmd_I_Agree)) continue;
    order.push_back(c);
  }
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
    return WindowPosition(*a) < WindowPosition(*b);
  });
  return order;
}

Control* InTabOrder(frmMain& form, const Control* control) {
  for (Control* c : TabOrder(form))
    if (c == control) return c;
  return nullptr;
}

Control* NextInTabOrder(frmMain& form, const Control* from, bool backwards) {
  const std::vector<Control*> order = TabOrder(form);
  if (order.empty()) return nullptr;
  const auto at = std::find(order.begin(), order.end(), from);
  if (at == order.end()) return backwards ? order.back() : order.front();
  const std::size_t i = static_cast<std::size_t>(at - order.begin());
  const std::size_t n = order.size();
  return order[backwards ? (i + n - 1) % n : (i + 1) % n];
}

Control* FocusWhenPageAppears(frmMain& form, WizardPage page, const Control* focused) {
  Control* target = nullptr;
  switch (page) {
    case WizardPage::ModelAndSerialNumber:
      target = IfReachable(form.txtSNO);
      if (!target) target = IfReachable(form.Cmd_Next);
      break;
    case WizardPage::ChooseRegionAndLanguage:
      // The user may be making the choice that is asked for.
      if (focused == &form.Combo_Region || focused == &form.Combo_Language) return nullptr;
      target = WithoutChoice(form.Combo_Region) || !WithoutChoice(form.Combo_Language)
                   ? IfReachable(form.Combo_Region)
                   : IfReachable(form.Combo_Language);
      break;
    default:
      target = ForwardButton(form);
      break;
  }
  if (target) return target == focused ? nullptr : target;
  // No control of the page's own: the focus stays on a control that can still take it.
  const std::vector<Control*> order = TabOrder(form);
  if (order.empty() || std::find(order.begin(), order.end(), focused) != order.end())
    return nullptr;
  return order.front();
}

Control* PageMessageLabel(frmMain& form, WizardPage page) {
  switch (page) {
    case WizardPage::ModelAndSerialNumber:
    case WizardPage::KnowledgeBaseQuestion:
      return &form.Uni_PID3500_err_MSG;
    case WizardPage::UpdateNotice:
      return &form.UniLabel_New_Version_Info;
    case WizardPage::License:
      return &form.Info_Label;
    case WizardPage::ChooseRegionAndLanguage:
    case WizardPage::Download:
    case WizardPage::UpdaterRunning:
    case WizardPage::Message:
      return &form.Uni_Error_Label1;
    case WizardPage::Start:
    case WizardPage::Detecting:
      break;
  }
  return nullptr;
}

Control* PageFocus::Follow(frmMain& form, const Control* focused) {
  const WizardPage page = CurrentPage(form);
  appeared_ = !known_ || page != page_;
  known_ = true;
  page_ = page;
  // The control a handler gave the focus since the last look, if any.
  const Control* given =
      form.Window.FocusGivenCount() != focusGifts_ ? form.Window.LastFocusGiven() : nullptr;
  focusGifts_ = form.Window.FocusGivenCount();
  if (!appeared_) return nullptr;
  // The handler's choice stays; where the window has not followed it yet, it follows now.
  if (Control* kept = given ? InTabOrder(form, given) : nullptr)
    return kept == focused ? nullptr : kept;
  return FocusWhenPageAppears(form, page, focused);
}

}  // namespace revivix
