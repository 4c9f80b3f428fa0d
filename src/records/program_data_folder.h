// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's data folder, shared by kestrum and kestrum-tool: where every
// complete download is kept and where erases are recorded.

#include <string>

namespace kestrum {

// Where QStandardPaths' AppDataLocation of a program named "kestrum" would be
// (GenericDataLocation + "/kestrum"): $XDG_DATA_HOME/kestrum when that is an
// absolute path, otherwise $HOME/.local/share/kestrum, as the system's bytes.
// Not the application name, which is the window title the task bar shows.
// Needs no application object.
std::string ProgramDataFolder();

// Tests keep their data in a folder of their own; empty: the real one again.
void SetProgramDataFolder(const std::string& folder);

}  // namespace kestrum
