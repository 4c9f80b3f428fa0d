// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/downloads_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "records/date_time_stamp.h"

namespace {

constexpr int kPathRole = Qt::UserRole;

QString DateText(const std::optional<kestrum::DateTime>& value) {
  return value ? QString::fromStdString(kestrum::DateTimeMessageText(*value)) : QString();
}

QTreeWidgetItem* RowOf(const kestrum::KeptDownloadSummary& download) {
  const kestrum::KeptDownloadName& name = download.file.name;
  const kestrum::Result<kestrum::KeptRuns>& runs = download.runs;
  auto* row = new QTreeWidgetItem(
      QStringList{QString::fromStdString(kestrum::DateTimeMessageText(name.at)),
                  kestrum::ModelName(name.model), QString::fromStdString(name.serial),
                  runs ? QString::number(runs->count) : QString::fromStdString(runs.error()),
                  DateText(runs ? runs->firstStart : std::nullopt),
                  DateText(runs ? runs->lastEnd : std::nullopt)});
  // The bytes themselves: a name that is not UTF-8 would not survive as text.
  row->setData(0, kPathRole, QByteArray::fromStdString(download.file.path));
  row->setToolTip(0, QFile::decodeName(QByteArray::fromStdString(download.file.path)));
  return row;
}

}  // namespace

DownloadsDialog::DownloadsDialog(const std::vector<kestrum::KeptDownloadSummary>& downloads,
                                 const QString& folder, QWidget* parent)
    : QDialog(parent), list_(new QTreeWidget(this)) {
  setObjectName("DownloadsDialog");
  setWindowTitle("Downloads");
  auto* layout = new QVBoxLayout(this);
  auto* where = new QLabel(downloads.empty() ? "No download has been kept yet in " + folder + "."
                                             : "Kept in " + folder + ":",
                           this);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(where);

  list_->setObjectName("DownloadsList");
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"Downloaded", "Model", "Serial", "Runs", "First", "Last"});
  for (const kestrum::KeptDownloadSummary& download : downloads)
    list_->addTopLevelItem(RowOf(download));
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  layout->addWidget(list_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Open)->setEnabled(!downloads.empty());
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(760, 360);
}

std::string DownloadsDialog::ChosenPath() const {
  const QTreeWidgetItem* row = list_->currentItem();
  return row ? row->data(0, kPathRole).toByteArray().toStdString() : std::string();
}
