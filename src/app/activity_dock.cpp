// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/activity_dock.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "app/app_settings.h"
#include "views/sample_reading.h"

namespace {

const char kGroup[] = "docks";
const char kActivityKey[] = "activity";

}  // namespace

ActivityDock::ActivityDock(QWidget* parent) : QDockWidget(QStringLiteral("Activity"), parent) {
  setObjectName("ActivityDock");
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  list_ = new QTreeWidget(this);
  list_->setObjectName("ActivityList");
  list_->setColumnCount(3);
  list_->setHeaderLabels(
      {QStringLiteral("Time"), QStringLiteral("Instrument"), QStringLiteral("What happened")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setMinimumWidth(320);
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(true);
  QFont small = list_->font();
  small.setPixelSize(11);
  list_->setFont(small);
  setWidget(list_);
}

void ActivityDock::ShowEntries(const std::vector<kestrum::ActivityEntry>& entries) {
  list_->clear();
  int shown = 0;
  for (const kestrum::ActivityEntry& entry : entries) {
    if (shown++ == kShownEntries) break;
    const QString text = QString::fromStdString(entry.text);
    auto* item = new QTreeWidgetItem(list_, {kestrum::FullDateTimeText(entry.at),
                                             QString::fromStdString(entry.instrument), text});
    // Long texts (an error box's) stay readable in full.
    item->setToolTip(2, text);
  }
}

void ActivityDock::ShowUnavailable(const QString& why) {
  list_->clear();
  auto* item = new QTreeWidgetItem(list_, {QString(), QString(), why});
  item->setToolTip(2, why);
}

bool LoadActivityShown() {
  const auto settings = kestrum::OpenAppSettings();
  settings->beginGroup(kGroup);
  return settings->value(kActivityKey, false).toBool();
}

void SaveActivityShown(bool shown) {
  const auto settings = kestrum::OpenAppSettings();
  settings->beginGroup(kGroup);
  settings->setValue(kActivityKey, shown);
  settings->endGroup();
  settings->sync();
}
