// Turning a detection into the next page: the detection tick (Timer2), the progress animation
// (Timer3) and DetectPlayer.
#pragma once

#include "app/frmMain.h"

namespace revivix {

// Until a language and a region are chosen, repeats the prompt; then runs one detection.
void Timer2_Timer(frmMain& form);

// Moves the detection's progress bar on by 1.5, rounded half to even.
void Timer3_Timer(frmMain& form);

// The model and serial-number page of a player in recovery mode.
void ShowSerialNumberPage(frmMain& form);

// Runs FindConnectedPlayers and shows the page its result leads to: the license page of the one
// player, the model and serial-number page for one player in recovery mode, or an error page.
void DetectPlayer(frmMain& form);

}  // namespace revivix
