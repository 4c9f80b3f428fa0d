// SPDX-License-Identifier: GPL-3.0-or-later
// Save as "CSV (*.csv)": the last type of the Save dialog writes the samples
// for spreadsheets and is proposed again for the next CSV.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/window_fixture.h"

namespace {

class CsvSaveWindowTest : public WindowTest {};

TEST_F(CsvSaveWindowTest, TheCsvTypeWritesTheSamples) {
  OpenWindow();
  OpenFile(SamplePath("k7-sample.Rn"));
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  QTemporaryDir folder;
  const QString path = QDir(folder.path()).filePath("samples.csv");
  // Appended after the six older types, whose indices stay.
  ASSERT_EQ(window->SaveDialog1.filters.value(6), "CSV (*.csv)");
  dialogs.saveAnswers.push_back(FileChoice{path, 7});
  window->Save1Click();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  int stamped = 0;
  for (int i = 0; i <= store->LastSampleIndex; ++i) stamped += store->Samples[i].Time != 0;
  // Header, one row per sample, and nothing after the last line end.
  ASSERT_EQ(lines.size(), stamped + 2);
  EXPECT_EQ(lines[0],
            "time,run,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa");
  // The first line of the kept text export: 24/03/04 17:45; 75; 21; 23; 41; 102.
  EXPECT_TRUE(lines[1].startsWith("2024-03-04T17:45,0,75.000,21.000,")) << lines[1].toStdString();
  EXPECT_EQ(lines.last(), "");

  // A picture or the data file next never take the CSV's place, nor it theirs.
  dialogs.saveAnswers.push_back(std::nullopt);
  window->Save1Click();
  EXPECT_EQ(dialogs.lastSaveSetup.proposals.value(6), path);
  EXPECT_EQ(dialogs.lastSaveSetup.proposals.value(0), SamplePath("k7-sample.Rn"));
}

}  // namespace
