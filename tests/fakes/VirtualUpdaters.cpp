#include "fakes/VirtualUpdaters.h"

namespace revivix::test {

VirtualFormatUpdater::VirtualFormatUpdater(VirtualDesktop& d, FormatUpdaterScript s)
    : desktop(d), script(std::move(s)) {
  Show();
}

void VirtualFormatUpdater::Show() {
  main = desktop.AddWindow(script.title);
  desktop.AddControl(main, L"Choose the data area option, then start.");
  // An edit box: its caption reads empty to another program, its contents are live.
  resultText = desktop.AddOwnTextControl(main, L"", L"");
  progress = desktop.AddControl(main, L"");
  formatButton = desktop.AddControl(main, L"&Format Data Area");
  startButton = desktop.AddControl(main, L"&Start");
  closeButton = desktop.AddControl(main, L"&Close");
  if (script.upgradeButtonToo) upgradeButton = desktop.AddControl(main, L"UPGRADE");

  desktop.OnClick(formatButton, [this] {
    if (desktop.Exists(option)) return;
    ++optionsOpened;
    option = desktop.AddWindow(L"Option");
    desktop.AddControl(option, L"Format the data area of your player?");
    optionYes = desktop.AddControl(option, L"&Yes");
    optionNo = desktop.AddControl(option, L"&No");
    desktop.OnClick(optionYes, [this] {
      answeredYes = true;
      desktop.Destroy(option);
    });
    desktop.OnClick(optionNo, [this] { desktop.Destroy(option); });
  });
  desktop.OnClick(startButton, [this] {
    started = true;
    desktop.After(script.runMs, [this] { desktop.SetLiveText(resultText, script.result); });
  });
  desktop.OnClick(closeButton, [this] {
    if (closedBy.empty()) closedBy = L"&Close";
    desktop.Destroy(main);
  });
  desktop.OnClose(main, [this] {
    if (closedBy.empty()) closedBy = L"WM_CLOSE";
    desktop.Destroy(main);
  });
}

VirtualUpgradeUpdater::VirtualUpgradeUpdater(VirtualDesktop& d, UpgradeUpdaterScript s)
    : desktop(d), script(std::move(s)) {
  main = desktop.AddWindow(script.title);
  introText = desktop.AddControl(main, L"");
  upgradeButton = desktop.AddControl(main, L"UPGRADE");
  // A control of the updater's own: its creation text stays stored, WM_GETTEXT gives its status.
  statusText = desktop.AddOwnTextControl(main, L"Firmware upgrade completed!", L"Ready");
  if (script.formatButtonsToo) {
    formatButton = desktop.AddControl(main, L"&Format Data Area");
    startButton = desktop.AddControl(main, L"&Start");
    desktop.OnClick(formatButton, [this] {
      if (desktop.Exists(option)) return;
      option = desktop.AddWindow(L"Option");
      optionYes = desktop.AddControl(option, L"&Yes");
      desktop.OnClick(optionYes, [this] { desktop.Destroy(option); });
    });
    desktop.OnClick(startButton, [this] { Run(); });
  }
  desktop.After(script.introAfterMs, [this] { desktop.SetText(introText, kIntroSentence); });
  desktop.OnClick(upgradeButton, [this] {
    if (upgradeClicked) return;
    upgradeClicked = true;
    NextWarning(0);
  });
  desktop.OnClose(main, [this] {
    if (closedBy.empty()) closedBy = L"WM_CLOSE";
    desktop.Destroy(main);
  });
}

void VirtualUpgradeUpdater::NextWarning(std::size_t index) {
  if (index >= script.warnings.size()) {
    Run();
    return;
  }
  const WindowHandle w = desktop.AddWindow(L"Warning!");
  warningWindows.push_back(w);
  warningTexts.push_back(desktop.AddControl(w, script.warnings[index].text));
  const WindowHandle yes =
      script.warnings[index].hasYes ? desktop.AddControl(w, L"&Yes") : WindowHandle{0};
  warningYes.push_back(yes);
  if (yes) {
    desktop.OnClick(yes, [this, w, index] {
      ++warningsAnswered;
      desktop.Destroy(w);
      desktop.After(200, [this, index] { NextWarning(index + 1); });
    });
  }
}

void VirtualUpgradeUpdater::Run() {
  desktop.SetLiveText(statusText, L"Upgrading...");
  desktop.After(script.runMs, [this] { desktop.SetLiveText(statusText, script.result); });
}

}  // namespace revivix::test
