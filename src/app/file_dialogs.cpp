// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <memory>

#include "app/downloads_dialog.h"

namespace {

QString InitialPath(const FileDialogSetup& setup, const QString& lastFileName) {
  return lastFileName.isEmpty() ? setup.fileName : lastFileName;
}

// The default extension ("*.Rn") is added when the user typed a bare name.
QString WithDefaultExt(const QString& path, const QString& filter) {
  if (!QFileInfo(path).suffix().isEmpty()) return path;
  const int star = filter.lastIndexOf("*.");
  if (star < 0) return path;
  QString ext = filter.mid(star + 1);
  ext.chop(1);  // the closing parenthesis
  return path + ext;
}

std::optional<FileChoice> Run(QWidget* parent, const FileDialogSetup& setup,
                              const QString& lastFileName, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setNameFilters(setup.filters);
  dialog.selectFile(InitialPath(setup, lastFileName));
  if (mode == QFileDialog::AcceptSave && setup.proposals.size() == setup.filters.size()) {
    // Another file type proposes its own name, unless the user has typed one:
    // the name shown is still the last proposal's (the dialog may have swapped
    // its extension already).
    auto proposed = std::make_shared<QString>(setup.proposals.value(0));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, &setup, proposed](const QString& filter) {
          const QString next = setup.proposals.value(setup.filters.indexOf(filter));
          if (next.isEmpty()) return;
          const QString shown = dialog.selectedFiles().value(0);
          if (QFileInfo(shown).completeBaseName() != QFileInfo(*proposed).completeBaseName()) {
            return;
          }
          *proposed = next;
          // After the dialog's own handling of the change.
          QTimer::singleShot(0, &dialog, [&dialog, next] { dialog.selectFile(next); });
        });
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileChoice choice;
  const QString filter = dialog.selectedNameFilter();
  choice.filterIndex = static_cast<int>(setup.filters.indexOf(filter)) + 1;
  if (choice.filterIndex < 1) choice.filterIndex = 1;
  choice.path = dialog.selectedFiles().first();
  if (mode == QFileDialog::AcceptSave) choice.path = WithDefaultExt(choice.path, filter);
  return choice;
}

}  // namespace

std::optional<FileChoice> QtFileDialogs::AskOpen(const FileDialogSetup& setup,
                                                 const QString& lastFileName) {
  return Run(parent_, setup, lastFileName, QFileDialog::AcceptOpen);
}

std::optional<FileChoice> QtFileDialogs::AskSave(const FileDialogSetup& setup,
                                                 const QString& lastFileName) {
  return Run(parent_, setup, lastFileName, QFileDialog::AcceptSave);
}

bool QtFileDialogs::AskPrint(QPrinter& printer) {
  QPrintDialog dialog(&printer, parent_);
  return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> QtFileDialogs::AskKeptDownload(
    const std::vector<kestrum::KeptDownloadSummary>& downloads, const QString& folder) {
  DownloadsDialog dialog(downloads, folder, parent_);
  if (dialog.exec() != QDialog::Accepted || dialog.ChosenPath().empty()) return std::nullopt;
  return dialog.ChosenPath();
}
