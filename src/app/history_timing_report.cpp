// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_timing_report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/main_window.h"

namespace {

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// Everything drawn and flushed: the pending paints and events done.
void Settle() {
  QApplication::processEvents();
  QApplication::processEvents();
}

}  // namespace

void ReportHistoryTimingWhenAsked(TForm1& window) {
  if (std::getenv("KESTRUM_REPORT_HISTORY_TIMING") == nullptr) return;
  QTimer::singleShot(300, &window, [&window] {
    Settle();
    QElapsedTimer clock;
    clock.start();
    window.History1->trigger();
    HistoryWindow* history = window.HistoryWin;
    if (history) history->repaint();
    Settle();
    std::fprintf(stderr, "kestrum: history window %lld\n", clock.elapsed());
    if (history) {
      clock.restart();
      history->RunTable->selectAll();
      history->repaint();
      Settle();
      std::fprintf(stderr, "kestrum: select all %lld\n", clock.elapsed());
    }
    std::fprintf(stderr, "kestrum: rss %ld\n", ResidentKilobytes());
    std::fflush(stderr);
    QApplication::quit();
  });
}
