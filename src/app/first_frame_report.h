// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// When KESTRUM_REPORT_FIRST_FRAME is set, writes "kestrum: first frame <ns>" to stderr
// once the window's first paint has been flushed, <ns> being CLOCK_REALTIME in
// nanoseconds, so a script can time launch to first frame from outside the process.
void ReportFirstFrameWhenAsked(QWidget& window);
