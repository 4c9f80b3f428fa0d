// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_timing_report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "records/guarded_read.h"

namespace {

long ResidentKilobytes() {
  const kestrum::Result<kestrum::GuardedRead> status =
      kestrum::ReadRegularFile("/proc/self/status", 64 * 1024);
  if (!status) return 0;
  const std::size_t at = status->bytes.find("VmRSS:");
  if (at == std::string::npos) return 0;
  return std::strtol(status->bytes.c_str() + at + 6, nullptr, 10);
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
