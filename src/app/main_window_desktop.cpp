// What a desktop program is expected to do beyond the original window: Open
// Recent, the kept downloads, dropped files, and remembering its placement.
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include "app/main_window.h"
#include "app/recent_files.h"
#include "app/window_memory.h"
#include "records/kept_download_summary.h"
#include "records/kept_downloads.h"
#include "records/program_data_folder.h"

namespace {

// The one local ".Rn" file of a drag, or nothing.
QString DroppedDataFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().first();
  if (!url.isLocalFile()) return {};
  const QString path = url.toLocalFile();
  return QFileInfo(path).suffix().compare("Rn", Qt::CaseInsensitive) == 0 ? path : QString();
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
  if (!QFileInfo(path).isFile()) {
    kestrum::RemoveRecentFile(path);
    RebuildRecentMenu();
    Prompts().ShowError(kestrum::RecentFileGoneText(path));
    return;
  }
  OpenDataFileNamed(path);
}

void TForm1::Downloads1Click() {
  const std::string folder = kestrum::KeptDownloadsFolder(kestrum::ProgramDataFolder());
  const auto chosen = Dialogs().AskKeptDownload(kestrum::SummarizeKeptDownloads(folder, Now()),
                                                QFile::decodeName(folder.c_str()));
  if (!chosen) return;
  OpenChosenFile(*chosen, HideForOpen());
}

void TForm1::closeEvent(QCloseEvent* event) {
  kestrum::SaveWindowPlacement(*this);
  QMainWindow::closeEvent(event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!commands_.Busy() && !DroppedDataFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QString path = DroppedDataFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  OpenDataFileNamed(path);
}
