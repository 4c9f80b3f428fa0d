// SPDX-License-Identifier: GPL-3.0-or-later
// A dialog's name holding U+FFFD stands for a name that is not UTF-8: its
// bytes are lost, and writing there would make or replace another file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/window_fixture.h"

namespace {

class FileNamesWindowTest : public WindowTest {
 protected:
  void SetUp() override { OpenWindow(); }
};

QString Refusal(const QString& name) {
  return name + ": this file name cannot be used by the program (it is not valid UTF-8); rename it";
}

TEST_F(FileNamesWindowTest, ANameThatIsNotUtf8IsRefusedAndNothingIsWritten) {
  OpenFile(SamplePath("k8-sample.Rn"));
  window->ComboBox3->setCurrentIndex(0);
  window->ComboBox3Change();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  QTemporaryDir dir;
  const QString odd = QString("odd") + QChar(QChar::ReplacementCharacter);
  const struct {
    const char* what;
    void (TForm1::*handler)();
    int filter;
    const char* extension;
  } writes[] = {
      {"data file", &TForm1::Save1Click, 1, ".Rn"}, {"text", &TForm1::Save1Click, 4, ".txt"},
      {"picture", &TForm1::Save1Click, 5, ".Png"},  {"pdf", &TForm1::Save1Click, 6, ".Pdf"},
      {"report", &TForm1::Report1Click, 1, ".Pdf"},
  };
  for (const auto& write : writes) {
    SCOPED_TRACE(write.what);
    prompts.errors.clear();
    const QString name = dir.filePath(odd + write.extension);
    dialogs.saveAnswers.push_back(FileChoice{name, write.filter});
    (window.get()->*write.handler)();
    EXPECT_EQ(prompts.errors, QStringList{Refusal(name)});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    EXPECT_EQ(window->windowTitle(), "k8-sample.Rn");
  }

  // Open: the file whose name is the text's own UTF-8 is another file.
  prompts.errors.clear();
  const QString other = dir.filePath(odd + ".Rn");
  ASSERT_TRUE(QFile::copy(SamplePath("k6-sample.Rn"), other));
  OpenFile(other);
  EXPECT_EQ(prompts.errors, QStringList{Refusal(other)});
  EXPECT_EQ(window->windowTitle(), "k8-sample.Rn");
  EXPECT_EQ(window->LastFileName, SamplePath("k8-sample.Rn"));
  EXPECT_FALSE(window->Chart1->isHidden());
}

}  // namespace
