// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When KESTRUM_REPORT_HISTORY_TIMING is set, the window times what a user of a
// long history waits for and writes to stderr, then quits:
//   "kestrum: history window <ms>"   Main > History... to the window drawn
//   "kestrum: select all <ms>"       every run selected to chart and summary drawn
//   "kestrum: rss <kB>"              resident memory afterwards
// so bench/history_window.sh can measure the real window from outside.

class TForm1;

void ReportHistoryTimingWhenAsked(TForm1& window);
