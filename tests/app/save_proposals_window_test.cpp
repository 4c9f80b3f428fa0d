// SPDX-License-Identifier: GPL-3.0-or-later
// What Save proposes: the data file for the measurements (never an export of
// them, never the file opened before a download) and, for each export type,
// the file that type went to last.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "app/emulated_window_fixture.h"

namespace {

using kestrum::InstrumentModel;

class SaveProposalsWindowTest : public EmulatedWindowTest {
 protected:
  // The Save dialog's proposal for each filter, the dialog answered with `answer`.
  QStringList Save(std::optional<FileChoice> answer) {
    dialogs.saveAnswers.push_back(std::move(answer));
    window->Save1Click();
    return dialogs.lastSaveSetup.proposals;
  }
};

TEST_F(SaveProposalsWindowTest, ADownloadAfterAnOpenHasNoFileUntilSaved) {
  Plug(InstrumentModel::K5, "EMUK5001", "USB <-> K5");
  OpenWindow();
  OpenFile(SamplePath("k8-sample.Rn"));
  window->Dump_BtnClick();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();

  EXPECT_EQ(window->windowTitle(), "K5 download 2024-03-05 14:07");
  const QString sampleFolder = QFileInfo(SamplePath("k8-sample.Rn")).absolutePath();
  const QStringList proposals = Save(std::nullopt);
  ASSERT_EQ(proposals.size(), 7);
  EXPECT_EQ(proposals[0], sampleFolder + "/K5-20240305-1407.Rn");
  EXPECT_EQ(dialogs.lastInitialName, proposals[0]);
  EXPECT_FALSE(window->AddToHistory1->isEnabled());

  const QString saved = scratch.filePath("k5.Rn");
  Save(FileChoice{saved, 1});
  EXPECT_EQ(window->windowTitle(), "k5.Rn");
  EXPECT_EQ(Save(std::nullopt).value(0), saved);
}

TEST_F(SaveProposalsWindowTest, EachExportTypeProposesItsOwnLastFile) {
  OpenWindow();
  OpenFile(SamplePath("k6-sample.Rn"));
  window->ComboBox3->setCurrentIndex(0);
  window->ComboBox3Change();
  const struct {
    int filter;
    const char* name;
  } exports[] = {{2, "bitmap.Bmp"},
                 {3, "vector.Svg"},
                 {4, "out-export.txt"},
                 {5, "picture.Png"},
                 {6, "document.Pdf"}};
  for (const auto& e : exports) {
    const QStringList before = Save(FileChoice{scratch.filePath(e.name), e.filter});
    // Never the data file under another type.
    EXPECT_TRUE(before.value(e.filter - 1).endsWith(QFileInfo(e.name).suffix())) << e.name;
    EXPECT_TRUE(QFile::exists(scratch.filePath(e.name))) << e.name;
  }
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();

  const QStringList proposals = Save(std::nullopt);
  ASSERT_EQ(proposals.size(), 7);
  EXPECT_EQ(proposals[0], SamplePath("k6-sample.Rn"));
  for (const auto& e : exports) EXPECT_EQ(proposals[e.filter - 1], scratch.filePath(e.name));

  // The history takes the data file, not the text last written.
  window->AddToHistory1->trigger();
  EXPECT_TRUE(window->StatusBar1->Text(1).startsWith("k6-sample.Rn: "))
      << window->StatusBar1->Text(1).toStdString();
}

}  // namespace
