// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and saving data files from the main window, and the window state a
// decode leaves behind.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "app/window_fixture.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

class DataFilesWindowTest : public WindowTest {
 protected:
  void SetUp() override { OpenWindow(); }
  void Open(const QString& path) { OpenFile(path); }

  // The run list kept for the sample in tests/data (see
  // tests/records/sample_references_test.cpp), then "All measurements".
  static QStringList ExpectedItems(const QString& samplePath) {
    const QString stem = QFileInfo(samplePath).completeBaseName();
    const QString reference =
        QString::fromLocal8Bit(qgetenv("KESTRUM_SOURCE_DIR")) + "/tests/data/" + stem + ".runs.txt";
    QStringList items = QString::fromUtf8(ReadAll(reference)).split('\n', Qt::SkipEmptyParts);
    if (!items.isEmpty()) items << "All measurements";
    return items;
  }
};

TEST_F(DataFilesWindowTest, OpeningAK8FileFillsTheRunListAndEnablesSaving) {
  Open(SamplePath("k8-sample.Rn"));
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  const QStringList items = RunItems();
  ASSERT_GE(items.size(), 2);
  EXPECT_EQ(items, ExpectedItems(SamplePath("k8-sample.Rn")));
  EXPECT_EQ(items.last(), "All measurements");
  EXPECT_EQ(window->ComboBox3->currentIndex(), -1);
  EXPECT_EQ(window->ComboBox3->placeholderText(), "Select Measurement");
  EXPECT_TRUE(window->ComboBox3->isEnabled());
  EXPECT_FALSE(window->ComboBox2->isEnabled());
  EXPECT_FALSE(window->View1->isEnabled());
  EXPECT_TRUE(window->Save1->isEnabled());
  EXPECT_TRUE(window->Save_SB->isEnabled());
  EXPECT_TRUE(window->Temperature->isEnabled());
  EXPECT_TRUE(window->Humidity->isEnabled());
  EXPECT_TRUE(window->PulseDistribution1->isChecked());
  EXPECT_TRUE(window->PulseDistError_CheckBox->isChecked());
  EXPECT_FALSE(window->Chart1->isVisible());
  EXPECT_FALSE(window->SpeedButton7->isEnabled());
  EXPECT_EQ(window->windowTitle(), "k8-sample.Rn");
  EXPECT_EQ(window->LastFileName, SamplePath("k8-sample.Rn"));
  EXPECT_EQ(window->Store().CalibrationFactor,
            window->Store().MemoryImage[7] + window->Store().MemoryImage[8] / 100.0L);
}

TEST_F(DataFilesWindowTest, TheProgramsFileArgumentOpensLikeMainOpen) {
  window->Chart1->show();
  window->OpenDataFileNamed(SamplePath("k6-sample.Rn"));
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  EXPECT_EQ(dialogs.asks, 0);
  EXPECT_EQ(RunItems(), ExpectedItems(SamplePath("k6-sample.Rn")));
  EXPECT_EQ(window->windowTitle(), "k6-sample.Rn");
  EXPECT_EQ(window->LastFileName, SamplePath("k6-sample.Rn"));
  EXPECT_TRUE(window->Chart1->isHidden());
  EXPECT_FALSE(window->SpeedButton7->isEnabled());
  EXPECT_TRUE(window->Temperature->isEnabled());
  EXPECT_TRUE(window->Save_SB->isEnabled());
}

TEST_F(DataFilesWindowTest, BytesAfterTheImageAreTakenWithANote) {
  QTemporaryDir folder;
  const QString longer = folder.filePath("longer.Rn");
  QFile file(longer);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(ReadAll(SamplePath("k5-sample.Rn")) + QByteArray(100, '\x11'));
  file.close();
  Open(longer);
  EXPECT_TRUE(prompts.errors.isEmpty());
  EXPECT_EQ(RunItems(), ExpectedItems(SamplePath("k5-sample.Rn")));
  EXPECT_EQ(window->StatusBar1->Text(1),
            longer +
                " holds more than a K5's memory of 8192 bytes; the bytes after them were "
                "left out");
}

TEST_F(DataFilesWindowTest, AK5FileLeavesTheEnvironmentalEntriesDisabled) {
  Open(SamplePath("k8-sample.Rn"));
  Open(SamplePath("k5-sample.Rn"));
  EXPECT_EQ(RunItems(), ExpectedItems(SamplePath("k5-sample.Rn")));
  EXPECT_FALSE(window->Temperature->isEnabled());
  EXPECT_FALSE(window->Humidity->isEnabled());
  EXPECT_EQ(window->Store().MemoryImage[0], '1');
}

TEST_F(DataFilesWindowTest, ADamagedFileIsRejectedAndChangesNothing) {
  Open(SamplePath("k7-sample.Rn"));
  const QStringList before = RunItems();
  const auto imageBefore = window->Store().MemoryImage;
  const int samplesBefore = window->Store().LastSampleIndex;
  window->Chart1->show();

  QTemporaryDir dir;
  const QString damaged = dir.filePath("short.Rn");
  QFile file(damaged);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(ReadAll(SamplePath("k8-sample.Rn")).left(5000));  // a K8 file needs 131,072 bytes
  file.close();
  Open(damaged);

  ASSERT_EQ(prompts.errors.size(), 1);
  EXPECT_TRUE(prompts.errors[0].contains("short.Rn")) << prompts.errors[0].toStdString();
  // The reason stays after the box is gone.
  EXPECT_EQ(window->StatusBar1->Text(StatusPanels::kOutcomePanel),
            "Not opened: " + prompts.errors[0]);
  EXPECT_EQ(RunItems(), before);
  EXPECT_EQ(window->Store().MemoryImage, imageBefore);
  EXPECT_EQ(window->Store().LastSampleIndex, samplesBefore);
  EXPECT_EQ(window->windowTitle(), "k7-sample.Rn");
  EXPECT_FALSE(window->Chart1->isHidden());
  EXPECT_TRUE(window->Temperature->isEnabled());
}

TEST_F(DataFilesWindowTest, AnImageWithoutRunsShowsTheMessageAndAnEmptyList) {
  QByteArray image(32768, '\xFF');
  image[0] = '2';
  QTemporaryDir dir;
  const QString path = dir.filePath("erased.Rn");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(image);
  file.close();
  Open(path);
  EXPECT_EQ(prompts.errors, QStringList{"No measurements saved in K5! "});
  EXPECT_EQ(window->ComboBox3->count(), 0);
  EXPECT_FALSE(window->Save1->isEnabled());
  EXPECT_FALSE(window->View1->isEnabled());
}

TEST_F(DataFilesWindowTest, CancellingOpenOnlyHidesTheChart) {
  window->Chart1->show();
  window->Open1Click();  // no answer queued: the dialog is cancelled
  EXPECT_TRUE(window->Chart1->isHidden());
  EXPECT_FALSE(window->SpeedButton7->isEnabled());
  EXPECT_TRUE(prompts.errors.isEmpty());
  EXPECT_EQ(window->windowTitle(), "Kestrum  Computer Interface Version 2.21");
}

TEST_F(DataFilesWindowTest, SavingADataFileWritesTheImageAndTheCaption) {
  Open(SamplePath("k6-sample.Rn"));
  QTemporaryDir dir;
  const QString target = dir.filePath("copy.Rn");
  dialogs.saveAnswers.push_back(FileChoice{target, 1});
  window->Save1Click();
  EXPECT_TRUE(prompts.errors.isEmpty());
  EXPECT_EQ(ReadAll(target), ReadAll(SamplePath("k6-sample.Rn")));
  EXPECT_EQ(window->windowTitle(), "copy.Rn");
  EXPECT_EQ(dialogs.lastInitialName, SamplePath("k6-sample.Rn"));

  // Reopening the copy gives the same run list.
  const QStringList items = RunItems();
  Open(target);
  EXPECT_EQ(RunItems(), items);
}

TEST_F(DataFilesWindowTest, AFailedSaveIsReportedAndKeepsTheOldFile) {
  Open(SamplePath("k5-sample.Rn"));
  QTemporaryDir dir;
  const QString missingFolder = dir.filePath("no-such-folder/copy.Rn");
  dialogs.saveAnswers.push_back(FileChoice{missingFolder, 1});
  window->Save1Click();
  ASSERT_EQ(prompts.errors.size(), 1);
  EXPECT_TRUE(prompts.errors[0].contains("copy.Rn"));
  // The caption and the next dialog still name the file that was opened.
  EXPECT_EQ(window->windowTitle(), "k5-sample.Rn");
  EXPECT_EQ(window->LastFileName, SamplePath("k5-sample.Rn"));

  // A text export over an existing file that cannot be replaced leaves it alone.
  const QString existing = dir.filePath("kept.txt");
  {
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old contents");
  }
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
  dialogs.saveAnswers.push_back(FileChoice{existing, 4});
  window->Save1Click();
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (geteuid() != 0) {  // root may write anywhere
    EXPECT_EQ(prompts.errors.size(), 2);
    EXPECT_EQ(ReadAll(existing), "old contents");
  }
}

TEST_F(DataFilesWindowTest, TextExportHasTheHeaderOfTheModel) {
  Open(SamplePath("k7-sample.Rn"));
  QTemporaryDir dir;
  const QString target = dir.filePath("samples.txt");
  dialogs.saveAnswers.push_back(FileChoice{target, 4});
  window->Save1Click();
  const QByteArray text = ReadAll(target);
  EXPECT_TRUE(text.startsWith("Time; Bqm3; Error; Temperature; Humidity%; Presssure\r\n"));
  EXPECT_EQ(text.count("\r\n"), window->Store().LastSampleIndex + 2);
  // The caption keeps naming the data; the export is said in the lasting line.
  EXPECT_EQ(window->windowTitle(), "k7-sample.Rn");
  EXPECT_EQ(window->StatusBar1->Text(StatusPanels::kOutcomePanel), "Exported samples.txt");
}

}  // namespace
