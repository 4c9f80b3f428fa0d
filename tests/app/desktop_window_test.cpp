// SPDX-License-Identifier: GPL-3.0-or-later
// What a desktop program is expected to do: remember its window, folders,
// recent files and view choices across restarts (and shrug off a damaged
// settings file), open dropped files, and answer the usual keys.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <functional>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>

#include "app/app_settings.h"
#include "app/downloads_dialog.h"
#include "app/recent_files.h"
#include "app/window_fixture.h"

namespace {

class DesktopWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(files.isValid());
    OpenWindow();
  }

  // A copy of a sample in the test's own folder.
  QString Copy(const char* sample, const QString& name) {
    const QString path = files.filePath(name);
    QFile::copy(SamplePath(sample), path);
    return path;
  }

  QStringList RecentEntries() const {
    QStringList texts;
    for (QAction* entry : window->OpenRecent1->actions()) texts << entry->text();
    return texts;
  }

  // Drags `path` over the window and drops it there; whether the drag was taken.
  bool Drop(const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at(300, 300);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    return true;
  }

  QTemporaryDir files;
};

TEST_F(DesktopWindowTest, PlacementFoldersRecentFilesAndViewChoicesSurviveARestart) {
  window->setGeometry(50, 60, 600, 400);
  const QString opened = Copy("k7-sample.Rn", "site-a.Rn");
  OpenFile(opened);
  window->Temperature->trigger();
  window->ComboBox2->setCurrentIndex(4);
  emit window->ComboBox2->activated(4);
  const QString saved = files.filePath("saved.Rn");
  dialogs.saveAnswers.push_back(FileChoice{saved, 1});
  window->Save1Click();
  window->close();

  ReopenWindow();
  EXPECT_EQ(window->size(), QSize(600, 400));
  EXPECT_EQ(window->pos(), QPoint(50, 60));
  EXPECT_TRUE(window->Temperature->isChecked());
  EXPECT_FALSE(window->Humidity->isChecked());
  EXPECT_EQ(window->ComboBox2->currentIndex(), 4);
  EXPECT_EQ(RecentEntries(), (QStringList{"&1 " + saved, "&2 " + opened}));
  // A new session's dialogs start in the folders used last, with their usual name.
  window->Open1Click();
  EXPECT_EQ(dialogs.lastInitialName, files.filePath("RnData"));
  window->Save1Click();
  EXPECT_EQ(dialogs.lastInitialName, files.filePath("RnData"));
  // The window keeps the original look when nothing is remembered.
  OpenWindow();
  EXPECT_EQ(window->size(), QSize(1033, 587));
  EXPECT_FALSE(window->Temperature->isChecked());
  EXPECT_EQ(window->ComboBox2->currentIndex(), -1);
  EXPECT_FALSE(window->OpenRecent1->isEnabled());
}

TEST_F(DesktopWindowTest, ADamagedSettingsFileGivesTheDefaultsAndTheNextChoicesAreRemembered) {
  OpenFile(Copy("k8-sample.Rn", "a.Rn"));
  window->Pressure->trigger();
  window->setGeometry(10, 10, 700, 400);
  window->close();
  const QString settingsFile = kestrum::OpenAppSettings()->fileName();
  QFile damaged(settingsFile);
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  const char garbage[] = "\x00\xff[window\ngeometry=@ByteArray(\x01\x02)\n\x7f[[=\x00recent";
  damaged.write(garbage, sizeof garbage);
  damaged.close();

  ReopenWindow();
  EXPECT_EQ(window->size(), QSize(1033, 587));
  EXPECT_FALSE(window->Pressure->isChecked());
  EXPECT_FALSE(window->OpenRecent1->isEnabled());
  OpenFile(Copy("k8-sample.Rn", "b.Rn"));
  window->Humidity->trigger();
  window->close();
  ReopenWindow();
  EXPECT_TRUE(window->Humidity->isChecked());
}

TEST_F(DesktopWindowTest, AVanishedRecentFileIsTakenOffTheListWithAMessage) {
  const QString gone = Copy("k5-sample.Rn", "gone.Rn");
  const QString stays = Copy("k6-sample.Rn", "stays.Rn");
  OpenFile(gone);
  OpenFile(stays);
  ASSERT_TRUE(QFile::remove(gone));
  ASSERT_EQ(window->OpenRecent1->actions().size(), 2);
  window->OpenRecent1->actions().at(1)->trigger();
  EXPECT_EQ(prompts.errors,
            QStringList{gone + " is no longer there; it has been taken off Open Recent."});
  EXPECT_EQ(RecentEntries(), QStringList{"&1 " + stays});
  EXPECT_EQ(window->windowTitle(), "stays.Rn");  // nothing else was opened
  // The other one still opens.
  window->OpenRecent1->actions().at(0)->trigger();
  EXPECT_EQ(prompts.errors.size(), 1);
  EXPECT_GE(RunItems().size(), 2);
}

TEST_F(DesktopWindowTest, ARecentFileThatIsNoLongerAFileSaysWhatItIs) {
  const struct {
    const char* name;
    std::function<bool(const QString&)> make;
    const char* what;
  } cases[] = {
      {"fifo.Rn", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; },
       "is now a FIFO (a named pipe)"},
      {"folder.Rn", [](const QString& p) { return QDir().mkdir(p); }, "is now a folder"},
      {"device.Rn", [](const QString& p) { return QFile::link(QStringLiteral("/dev/null"), p); },
       "is now a device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = Copy("k5-sample.Rn", c.name);
    OpenFile(path);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(c.make(path));
    prompts.errors.clear();
    window->OpenRecent1->actions().at(0)->trigger();  // must not wait on the FIFO
    EXPECT_EQ(prompts.errors, QStringList{path + " " + c.what +
                                          ", not a data file; it has been taken off Open Recent."});
    EXPECT_FALSE(RecentEntries().join(' ').contains(path));
  }
}

TEST_F(DesktopWindowTest, ADroppedDataFileOpensAsMainOpenDoesAndOtherFilesAreRefused) {
  const QString text = files.filePath("notes.txt");
  QFile(text).open(QIODevice::WriteOnly);
  EXPECT_FALSE(Drop(text));
  EXPECT_TRUE(RunItems().isEmpty());
  EXPECT_TRUE(Drop(Copy("k8-sample.Rn", "dropped.Rn")));
  EXPECT_EQ(window->windowTitle(), "dropped.Rn");
  EXPECT_GE(RunItems().size(), 2);
  EXPECT_FALSE(window->SpeedButton7->isEnabled());  // as after Open
  EXPECT_EQ(kestrum::RecentFiles().first(), files.filePath("dropped.Rn"));
}

TEST_F(DesktopWindowTest, TheUsualKeysSitBesideUnchangedCaptions) {
  const struct {
    QAction* action;
    const char* caption;
    QKeySequence keys;
  } entries[] = {
      {window->Open1, "Open", QKeySequence(Qt::CTRL | Qt::Key_O)},
      {window->Save1, "Save", QKeySequence(Qt::CTRL | Qt::Key_S)},
      {window->Print1, "Print", QKeySequence(Qt::CTRL | Qt::Key_P)},
      {window->Exit1, "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {window->About1, "About", QKeySequence(Qt::Key_F1)},
  };
  for (const auto& entry : entries) {
    EXPECT_EQ(entry.action->text(), entry.caption);
    EXPECT_EQ(entry.action->shortcut(), entry.keys) << entry.caption;
  }
  // Open, its recent files and the downloads come first in Main.
  const QList<QAction*> main = window->MainMenu->actions();
  ASSERT_GE(main.size(), 7);
  EXPECT_EQ(main[0], window->Open1);
  EXPECT_EQ(main[1]->menu(), window->OpenRecent1);
  EXPECT_EQ(main[1]->text(), "Open Recent");
  EXPECT_EQ(main[2], window->Downloads1);
  EXPECT_EQ(main[3], window->History1);
  EXPECT_EQ(main[4], window->AddToHistory1);
  EXPECT_EQ(main[5], window->Activity1);
  EXPECT_EQ(main[6], window->Save1);
}

TEST(DownloadsDialogTest, ListsTheDownloadsInTheOrderGivenAndNamesTheChosenOne) {
  std::vector<kestrum::KeptDownloadSummary> downloads(2);
  downloads[0].file = {"/d/K8-S1-20250102-030405.Rn",
                       {kestrum::InstrumentModel::K8, "S1",
                        kestrum::EncodeDate(2025, 1, 2) + kestrum::EncodeTime(3, 4, 5, 0), 1}};
  downloads[0].runs =
      kestrum::KeptRuns{2, kestrum::EncodeDate(2024, 12, 1),
                        kestrum::EncodeDate(2024, 12, 3) + kestrum::EncodeTime(5, 0, 0, 0)};
  downloads[1].file = {"/d/K5-S2-20240101-000000.Rn",
                       {kestrum::InstrumentModel::K5, "S2", kestrum::EncodeDate(2024, 1, 1), 1}};
  downloads[1].runs = kestrum::Fail("too short");
  DownloadsDialog dialog(downloads, "/d");
  QTreeWidget* list = dialog.List();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  const QStringList first{"2025-01-02 03:04:05", "K8", "S1", "2", "2024-12-01 00:00:00",
                          "2024-12-03 05:00:00"};
  for (int column = 0; column < first.size(); ++column)
    EXPECT_EQ(list->topLevelItem(0)->text(column), first[column]);
  EXPECT_EQ(list->topLevelItem(1)->text(3), "too short");
  EXPECT_EQ(dialog.ChosenPath(), "/d/K8-S1-20250102-030405.Rn");
  list->setCurrentItem(list->topLevelItem(1));
  EXPECT_EQ(dialog.ChosenPath(), "/d/K5-S2-20240101-000000.Rn");
}

}  // namespace
