// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Main > Downloads...: the kept downloads, newest first, with when they were
// downloaded, the model, the converter serial, the number of runs and the
// dates they span. The chosen one is opened as File > Open would.

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "records/kept_download_summary.h"

class QTreeWidget;

class DownloadsDialog : public QDialog {
  Q_OBJECT
 public:
  DownloadsDialog(const std::vector<kestrum::KeptDownloadSummary>& downloads, const QString& folder,
                  QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }
  // The path of the selected download as the system's bytes; empty when
  // none is selected.
  std::string ChosenPath() const;

 private:
  QTreeWidget* list_;
};
