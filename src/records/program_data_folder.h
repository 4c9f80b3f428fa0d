#pragma once
// The program's data folder, shared by kestrum and kestrum-tool: where every
// complete download is kept and where erases are recorded.

#include <string>

namespace kestrum {

// QStandardPaths' AppDataLocation of a program named "kestrum" (organisation
// none), i.e. GenericDataLocation + "/kestrum": ~/.local/share/kestrum unless
// XDG_DATA_HOME says otherwise. Not the application name, which is the window
// title the task bar shows. Needs no application object.
std::string ProgramDataFolder();

// Tests keep their data in a folder of their own; empty: the real one again.
void SetProgramDataFolder(const std::string& folder);

}  // namespace kestrum
