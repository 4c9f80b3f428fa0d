// SPDX-License-Identifier: GPL-3.0-or-later
// What a desktop program is expected to do beyond the original window: Open
// Recent, the kept downloads, dropped files, and remembering its placement.
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

#include "app/local_names.h"
#include "app/main_window.h"
#include "app/recent_files.h"
#include "app/window_memory.h"
#include "records/kept_download_summary.h"
#include "records/kept_downloads.h"
#include "records/program_data_folder.h"

namespace {

// The one local ".Rn" file of a drag as the system's bytes, or nothing. The
// URL keeps the bytes of a name that is not UTF-8 percent-encoded; its Qt
// text would not.
std::string DroppedDataFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().first();
  if (!url.isLocalFile()) return {};
  std::string path;
  if (url.host().isEmpty()) {
    path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
  } else if (const kestrum::Result<std::string> named = kestrum::LocalNameOf(url.toLocalFile())) {
    path = named.value();
  }
  const QString shown = kestrum::ShownName(path);
  return QFileInfo(shown).suffix().compare("Rn", Qt::CaseInsensitive) == 0 ? path : std::string();
}

}  // namespace

void TForm1::RebuildRecentMenu() {
  OpenRecent1->clear();
  const QStringList files = kestrum::RecentFiles();
  int number = 0;
  for (const QString& path : files) {
    QAction* entry = OpenRecent1->addAction(QString("&%1 %2").arg(++number).arg(path));
    connect(entry, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
  }
  OpenRecent1->setEnabled(!files.isEmpty());
}

void TForm1::OpenRecentFile(const QString& path) {
  const kestrum::Result<std::string> localName = kestrum::LocalNameOf(path);
  if (!localName) {
    // It could only ever name another file.
    kestrum::RemoveRecentFile(path);
    RebuildRecentMenu();
    Prompts().ShowError(QString::fromStdString(localName.error()));
    return;
  }
  if (const auto problem = kestrum::RecentFileProblem(path, localName.value())) {
    kestrum::RemoveRecentFile(path);
    RebuildRecentMenu();
    Prompts().ShowError(*problem);
    return;
  }
  OpenLocalDataFile(localName.value());
}

void TForm1::Downloads1Click() {
  const std::string folder = kestrum::KeptDownloadsFolder(kestrum::ProgramDataFolder());
  const auto chosen = Dialogs().AskKeptDownload(kestrum::SummarizeKeptDownloads(folder, Now()),
                                                kestrum::ShownName(folder));
  if (!chosen) return;
  OpenChosenFile(*chosen, HideForOpen());
}

void TForm1::closeEvent(QCloseEvent* event) {
  kestrum::SaveWindowPlacement(*this);
  QMainWindow::closeEvent(event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!commands_.Busy() && !DroppedDataFile(event->mimeData()).empty())
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::string path = DroppedDataFile(event->mimeData());
  if (path.empty()) return;
  event->acceptProposedAction();
  OpenLocalDataFile(path);
}
