// SPDX-License-Identifier: GPL-3.0-or-later
// The working files go to the --work-dir folder, not the current one: a
// start from the desktop must not fill the home folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "app/local_names.h"
#include "app/window_fixture.h"

namespace {

class WorkFolderTest : public WindowTest {
 protected:
  void TearDown() override { kestrum::SetWorkFolder({}); }
};

TEST_F(WorkFolderTest, DecodeFilesGoToTheWorkFolderOnly) {
  QTemporaryDir current;
  QTemporaryDir work;
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(current.path()));
  for (const bool workDirGiven : {false, true}) {
    SCOPED_TRACE(workDirGiven ? "with --work-dir" : "without");
    kestrum::SetWorkFolder(workDirGiven ? QFile::encodeName(work.path()).toStdString() : "");
    QFile::remove(current.filePath("k5dat.tmp"));
    OpenWindow();
    OpenFile(SamplePath("k7-sample.Rn"));
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
    EXPECT_EQ(QFile::exists(current.filePath("k5dat.tmp")), !workDirGiven);
    EXPECT_EQ(QFile::exists(work.filePath("debug.tmp")), workDirGiven);
  }
  QDir::setCurrent(before);
}

}  // namespace
