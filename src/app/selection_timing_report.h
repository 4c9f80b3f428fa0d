// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When KESTRUM_REPORT_SELECTION_TIMING is set, the window times choosing
// "All measurements" of the file it was started with (every dock shown),
// to the chart and docks drawn, and writes to stderr, then quits:
//   "kestrum: all measurements <ms>"
// so bench/all_measurements.sh can measure the real window from outside.

class TForm1;

void ReportSelectionTimingWhenAsked(TForm1& window);
