// The FW folder beside the program as the wizard's own: only administrators may write in it, it is
// never a link to somewhere else, and it holds nothing but the updater the wizard downloaded when
// that is started.
#pragma once

#include <memory>
#include <string>

#include "platform/FolderGuard.h"

namespace revivix {

class frmMain;

// The FW folder beside the program.
std::wstring FirmwareFolder(frmMain& form);

// Makes `folder` the wizard's own and pins it: a link of that name is removed (its target is left
// alone) and the folder made anew; a missing one is created with the administrators-only
// descriptor; one that others may write is emptied and then given that descriptor. Null when the
// folder cannot be made so: nothing is to be written, deleted or started in it then.
std::unique_ptr<FolderHold> PrepareFirmwareFolder(FolderGuard& guard, const std::wstring& folder);

// Releases the hold on the downloaded updater and deletes its file (UpdaterPath) when FW is a real
// folder: through a link named FW the file would be another's.
void DeleteDownloadedUpdater(frmMain& form);

// Removes everything inside `folder` but the file named `keep` ("" for none): files, links as
// links (never what they point at) and subfolders with what they hold. False when anything else
// is left.
bool ClearFolder(FolderGuard& guard, const std::wstring& folder, const std::wstring& keep);

}  // namespace revivix
