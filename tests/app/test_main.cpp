// SPDX-License-Identifier: GPL-3.0-or-later
// Widget tests need one QApplication for the whole run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "app/app_settings.h"
#include "records/program_data_folder.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  // Never the user's own settings.
  QTemporaryDir settingsFolder;
  kestrum::SetAppSettingsFile(settingsFolder.filePath("kestrum.conf"));
  kestrum::SetProgramDataFolder(QFile::encodeName(settingsFolder.filePath("data")).toStdString());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
