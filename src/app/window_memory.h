// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's placement (size, position, maximised) and the View
// menu's choices, remembered between runs in the settings file (groups
// "window" and "view"). Missing or damaged settings leave the defaults.

class TForm1;

namespace kestrum {

void RestoreWindowPlacement(TForm1& window);
void SaveWindowPlacement(const TForm1& window);

// The environmental lines (Temperature, Humidity, Pressure) and the mean interval.
void RestoreViewChoices(TForm1& window);
void SaveViewChoices(const TForm1& window);

}  // namespace kestrum
