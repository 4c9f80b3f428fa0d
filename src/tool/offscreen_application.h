// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reports draw the chart widget; without a display, Qt's offscreen
// platform draws it.

namespace kestrum::tool {

// Makes the one QApplication of the process unless there is one.
void EnsureOffscreenApplication();

}  // namespace kestrum::tool
