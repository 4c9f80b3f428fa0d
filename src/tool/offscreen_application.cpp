// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/offscreen_application.h"

#include <QApplication>

namespace kestrum::tool {

void EnsureOffscreenApplication() {
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kestrum-tool";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
}

}  // namespace kestrum::tool
