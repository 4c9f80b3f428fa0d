// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one QApplication the chart benchmarks draw with, offscreen unless a
// platform is named.

#include <QApplication>

namespace kestrum {

inline void EnsureBenchApplication() {
  static int argc = 1;
  static char name[] = "kestrum_bench";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  new QApplication(argc, argv);
}

}  // namespace kestrum
