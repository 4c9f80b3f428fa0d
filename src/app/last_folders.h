// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folders last used by the file dialogs, remembered between runs (group
// "folders" of the settings file) so that a new session's dialogs start there.

#include <QString>

namespace kestrum {

// kData: where the last data file (.Rn) was opened from or saved to, so a
// download's Save starts among the user's data files, not among exports.
enum class DialogFolder { kOpen, kSave, kReport, kData };

// Empty when none is remembered (or the settings file is damaged).
QString LastFolder(DialogFolder dialog);
// Remembers the folder of the file chosen in that dialog.
void RememberFolderOf(DialogFolder dialog, const QString& chosenFile);
// The remembered folder when it still exists, else empty.
QString ExistingLastFolder(DialogFolder dialog);

// What a dialog starts with: the name chosen last in this session, else the
// default name in the remembered folder, else empty (the dialog's default).
QString InitialDialogPath(DialogFolder dialog, const QString& lastFileName,
                          const QString& defaultName);

}  // namespace kestrum
