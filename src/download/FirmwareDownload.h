// The firmware download step: the updater's address from the model's link page, its download
// into the FW folder beside the program with a progress display, and its start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/frmMain.h"

namespace revivix {

// Reads the link page at `url` and returns the updater's address: the last text between double
// quotes that contains "HTTP", when the page has 1 to 20 of them. Without any, or with more than
// 21, the offline message is shown and "" returned; with exactly 21 the result is "" alone.
std::wstring FindUpdaterLink(frmMain& form, std::wstring& url);

// The link rule alone, on the page's markup: the address, "" for exactly 21 texts, or no value
// when the page is blank, has no text with "HTTP" or has more than 21.
std::optional<std::wstring> ReadUpdaterLink(const std::wstring& html);

// The download's message on the error frame, with Exit in place of the license page's buttons.
void ShowDownloadPage(frmMain& form);

// Downloads UpdaterUrl into the FW folder, made the wizard's own first, and starts it; true when
// the updater was started. The file is held (nobody else may write, rename or delete it) from its
// check on while the updater runs, and FW holds nothing else when it starts. Only a file named
// ".exe" that CheckDownloadedProgram finds complete is started; any other file is deleted and the
// step fails as a failed download, which ends the wizard two seconds later (Timer6), and so does
// a start the shell refuses. A download that succeeded without leaving its file ends the wizard
// at once. The Internet cache's entry of the address is removed first.
bool StartFirmwareDownload(frmMain& form);

// The started updater did not run (its process ended without ever showing its window): the
// automation's timers stop, the file goes, and the step ends as a failed download does.
void UpdaterDidNotRun(frmMain& form);

// The progress display of the download: sizes in KB or MB and the progress bar.
void mydl_TumoDLProg(frmMain& form, std::int32_t Progress, std::int32_t ProgressMax);

// The name the updater is saved under: the address after its last "/". The name must stay a
// plain file name inside the FW folder, so "" is returned for a name that is empty, holds "\",
// ":", "..", a character Windows forbids in names or a control character, ends in a blank or a
// point, or is a device name (CON, NUL, COM1, ... with or without an extension).
std::wstring UpdaterFileName(const std::wstring& updaterUrl);

// True when `bytes` start with a Windows program header: "MZ", and "PE\0\0" at the offset the
// header names.
bool IsPortableExecutable(const std::vector<std::uint8_t>& bytes);

// Whether a downloaded updater is the whole program the server announced, and why not.
enum class DownloadCheck {
  Complete,     // the announced length arrived and the program's structure lies inside the file
  NotAProgram,  // no Windows program header, or headers no program loader would take
  WrongLength,  // the bytes written differ from the length the server announced
  NotWhole,     // a section's data, the signature (security directory), the symbol table or the
                // headers reach beyond the end of the file
};

// Judges the bytes of a downloaded updater. `announcedLength` is the length the transfer was
// announced with (the progress maximum or the answer's Content-Length); 0 when there was none,
// and then the program's own structure decides alone.
DownloadCheck CheckDownloadedProgram(const std::vector<std::uint8_t>& bytes,
                                     std::uint64_t announcedLength);

// A short English description of a check's outcome, for logs.
const wchar_t* DescribeDownloadCheck(DownloadCheck check);

}  // namespace revivix
