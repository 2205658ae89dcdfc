// The wizard from the keyboard: which page the window shows, what Enter and Escape do, the Tab
// order of the visible controls and where the focus goes when a page appears. The visible page is
// not stored anywhere: it is read from the controls, as a user reads it.
#pragma once

#include <cstdint>
#include <vector>

#include "app/frmMain.h"

namespace revivix {

enum class WizardPage {
  Start,                    // the lists, Help and Refresh
  Detecting,                // VistaProg1 moving
  ChooseRegionAndLanguage,  // the error frame asks for a choice in the lists
  ModelAndSerialNumber,
  KnowledgeBaseQuestion,
  UpdateNotice,
  License,
  Download,
  UpdaterRunning,  // from the end of the download until the updater's result is read
  Message,         // the error frame with Exit: an error or the updater's result
};

WizardPage CurrentPage(frmMain& form);

// The page's default button: the one Enter presses while the focus is on no push button, when
// it can be pressed now; null where there is none.
Control* ForwardButton(frmMain& form);

enum class Key { Enter, Escape };

// What a key does on the window: the button it presses (null: none), or closing the window as
// its close button does.
struct KeyAction {
  Control* press = nullptr;
  bool close = false;
};

// Enter presses the focused push button; with the focus on any other control (a list, the
// serial-number box, the license text) or on none, it presses the page's default button.
// Escape closes the window where EscapeCloses allows it.
KeyAction ActionOfKey(frmMain& form, const Control* focused, Key key);

// Escape does what the window's close button does, except while an updater runs: closing then
// would leave the player half-updated.
bool EscapeCloses(const frmMain& form);

// The visible, enabled controls that take the focus, in reading order: top to bottom, then left
// to right. Labels, frames, progress bars and the scratch list List1 never take it.
std::vector<Control*> TabOrder(frmMain& form);

// `control` when it is in the Tab order (it can take the focus now); null otherwise.
Control* InTabOrder(frmMain& form, const Control* control);

// The control Tab (or Shift+Tab, `backwards`) moves the focus to from `from`; the first (last)
// one when `from` is not in the Tab order. Null when no control takes the focus.
Control* NextInTabOrder(frmMain& form, const Control* from, bool backwards);

// Where the keyboard puts the focus when `page` has just appeared, the focus is on `focused`
// (null: on no control) and no handler has chosen it: the page's default button, the
// serial-number box on the serial-number page, a list without a choice when the lists need one.
// Null when the focus stays where it is.
Control* FocusWhenPageAppears(frmMain& form, WizardPage page, const Control* focused);

// The label that carries the page's message, for a screen reader to announce; null on a page
// without one.
Control* PageMessageLabel(frmMain& form, WizardPage page);

// Remembers the page last seen, so the focus moves only when a new page appears, and the count
// of focus gifts last seen, so the focus a handler gave the new page stays where it put it.
class PageFocus {
 public:
  // The control that should take the focus now, or null. Call after the controls changed.
  Control* Follow(frmMain& form, const Control* focused);
  // True when the last Follow found a page other than the one before.
  bool Appeared() const { return appeared_; }
  WizardPage Page() const { return page_; }

 private:
  bool known_ = false;
  bool appeared_ = false;
  std::uint64_t focusGifts_ = 0;
  WizardPage page_ = WizardPage::Start;
};

}  // namespace revivix
