// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The open, save and print dialogs reach the window through this seam so
// tests can answer them.

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "records/kept_download_summary.h"

class QPrinter;
class QWidget;

// What a file dialog is set up with: the filters in order (index 1 is the
// first), the default extension and the initial file name.
struct FileDialogSetup {
  FileDialogSetup() = default;
  // Proposals are for the Save dialog alone; every dialog is set up this way.
  FileDialogSetup(QStringList filters, QString defaultExt, QString fileName)
      : filters(std::move(filters)),
        defaultExt(std::move(defaultExt)),
        fileName(std::move(fileName)) {}

  QStringList filters;
  QString defaultExt;
  QString fileName;
  // Save dialogs: the name proposed with each filter, in the filters' order,
  // so every file type starts from its own last file. The dialog opens with
  // the first (which the caller also passes as the last file name).
  QStringList proposals;
};

struct FileChoice {
  QString path;
  int filterIndex = 1;  // 1-based, as the filters are numbered
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  virtual std::optional<FileChoice> AskOpen(const FileDialogSetup& setup,
                                            const QString& lastFileName) = 0;
  virtual std::optional<FileChoice> AskSave(const FileDialogSetup& setup,
                                            const QString& lastFileName) = 0;
  // Lets the user choose a printer and its settings; false when cancelled.
  virtual bool AskPrint(QPrinter& printer) = 0;
  // Main > Downloads...: the path of the kept download chosen from the list
  // (of the folder named), as the system's bytes; nothing when cancelled.
  virtual std::optional<std::string> AskKeptDownload(
      const std::vector<kestrum::KeptDownloadSummary>& downloads, const QString& folder) = 0;
};

class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<FileChoice> AskOpen(const FileDialogSetup& setup,
                                    const QString& lastFileName) override;
  std::optional<FileChoice> AskSave(const FileDialogSetup& setup,
                                    const QString& lastFileName) override;
  bool AskPrint(QPrinter& printer) override;
  std::optional<std::string> AskKeptDownload(
      const std::vector<kestrum::KeptDownloadSummary>& downloads, const QString& folder) override;

 private:
  QWidget* parent_;
};
