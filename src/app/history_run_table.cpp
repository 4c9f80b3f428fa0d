// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_run_table.h"

#include <QFile>
#include <QFileInfo>

#include <QHeaderView>
#include <QMenu>

#include "app/limited_text_delegate.h"
#include "app/shown_text.h"
#include "assessment/reference_levels.h"
#include "history/history_store.h"
#include "views/sample_reading.h"

namespace {

const QColor kExcludedText(0x90, 0x90, 0x90);

QString MeanText(const kestrum::RunSummary& summary) {
  if (summary.samples == 0) return QString();
  return QStringLiteral("%1 \u00b1 %2")
      .arg(static_cast<double>(summary.level.mean), 0, 'f', 0)
      .arg(static_cast<double>(summary.level.uncertainty), 0, 'f', 0);
}

QString VerdictToolTip(const kestrum::RunSummary& summary) {
  QStringList lines;
  for (const kestrum::LevelJudgement& j : summary.judgements) {
    lines << QStringLiteral("The mean %1 %2 Bq/m3 (%3 hours above it).")
                 .arg(QString::fromUtf8(kestrum::VerdictPhrase(j.verdict).data()))
                 .arg(j.level)
                 .arg(j.hoursAbove);
  }
  return lines.join(QLatin1Char('\n'));
}

QTableWidgetItem* ReadOnlyItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

QTableWidgetItem* NumberItem(const QString& text) {
  QTableWidgetItem* item = ReadOnlyItem(text);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

QString RunMarksText(const kestrum::HistoryRun& run) {
  QStringList marks;
  if (run.conflict) marks << QStringLiteral("conflict");
  if (run.overlaps) marks << QStringLiteral("overlaps");
  if (run.clockUnset) marks << QStringLiteral("clock unset");
  if (run.future) marks << QStringLiteral("dated after the download");
  if (run.redated) marks << QStringLiteral("re-dated");
  return marks.join(QStringLiteral(", "));
}

QString VerdictText(const kestrum::RunSummary& summary) {
  if (summary.samples == 0) return QString();
  QStringList parts;
  for (const kestrum::LevelJudgement& j : summary.judgements) {
    parts << QStringLiteral("%1 %2")
                 .arg(QString::fromUtf8(kestrum::VerdictWord(j.verdict).data()))
                 .arg(j.level);
  }
  return parts.join(QStringLiteral(", "));
}

HistoryRunTable::HistoryRunTable(QWidget* parent) : QTableWidget(parent) {
  setObjectName("HistoryRunTable");
  setColumnCount(kColumnCount);
  setHorizontalHeaderLabels({QStringLiteral("Site"), QStringLiteral("First"),
                             QStringLiteral("Last"), QStringLiteral("Samples"),
                             QStringLiteral("Mean Bq/m3"), QStringLiteral("Verdict"),
                             QStringLiteral("Downloads"), QStringLiteral("Marks"),
                             QStringLiteral("Excluded"), QStringLiteral("Note")});
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::SelectedClicked);
  setAlternatingRowColors(true);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(true);
  connect(this, &QTableWidget::itemChanged, this, &HistoryRunTable::ItemChanged);
  setItemDelegateForColumn(
      kSite, new LimitedTextDelegate(static_cast<int>(kestrum::kSiteCharacterLimit), this));
  setItemDelegateForColumn(
      kNote, new LimitedTextDelegate(static_cast<int>(kestrum::kNoteCharacterLimit), this));
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &HistoryRunTable::ContextMenuAsked);
}

void HistoryRunTable::ShowRuns(const std::vector<HistoryRunRow>& rows, bool editable) {
  filling_ = true;
  clearContents();
  setRowCount(static_cast<int>(rows.size()));
  redatable_.assign(rows.size(), false);
  const Qt::ItemFlags editFlag = editable ? Qt::ItemIsEditable : Qt::NoItemFlags;
  for (int r = 0; r < rowCount(); ++r) {
    const HistoryRunRow& row = rows[static_cast<std::size_t>(r)];
    const kestrum::HistoryRun& run = row.run;
    auto* site = new QTableWidgetItem(ShownText(run.site, kestrum::kSiteCharacterLimit));
    site->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | editFlag);
    setItem(r, kSite, site);
    QTableWidgetItem* first =
        ReadOnlyItem(run.samples ? kestrum::FullDateTimeText(run.first) : QString());
    // What undoes a re-dating: the run's own first time.
    if (run.redated) {
      first->setToolTip(QStringLiteral("Re-dated; the instrument's own time was %1")
                            .arg(kestrum::FullDateTimeText(run.first - run.timeShift)));
    }
    setItem(r, kFirst, first);
    redatable_[static_cast<std::size_t>(r)] =
        editable && run.first != 0 && (run.clockUnset || run.future || run.redated);
    setItem(r, kLast, ReadOnlyItem(run.samples ? kestrum::FullDateTimeText(run.last) : QString()));
    setItem(r, kSamples, NumberItem(QString::number(run.samples)));
    setItem(r, kMean, NumberItem(MeanText(row.summary)));
    QTableWidgetItem* verdict = ReadOnlyItem(VerdictText(row.summary));
    verdict->setToolTip(VerdictToolTip(row.summary));
    setItem(r, kVerdict, verdict);
    QTableWidgetItem* downloads = NumberItem(QString::number(run.downloads));
    QStringList files;
    for (const std::string& path : row.downloads) {
      files << QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
    }
    downloads->setToolTip(files.join(QLatin1Char('\n')));
    setItem(r, kDownloads, downloads);
    setItem(r, kMarks, ReadOnlyItem(RunMarksText(run)));
    auto* excluded = new QTableWidgetItem();
    excluded->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled |
                       (editable ? Qt::ItemIsUserCheckable : Qt::NoItemFlags));
    excluded->setCheckState(run.excluded ? Qt::Checked : Qt::Unchecked);
    excluded->setToolTip(QStringLiteral("Left out of summaries"));
    setItem(r, kExcluded, excluded);
    auto* note = new QTableWidgetItem(ShownText(run.note, kestrum::kNoteCharacterLimit));
    note->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | editFlag);
    setItem(r, kNote, note);
    ShowExcluded(r, run.excluded);
  }
  resizeColumnsToContents();
  // Room to type a site into an empty column.
  setColumnWidth(kSite, std::max(columnWidth(kSite), 120));
  filling_ = false;
}

void HistoryRunTable::SelectRows(const std::vector<int>& rows) {
  QItemSelection selection;
  for (int row : rows) {
    selection.select(model()->index(row, 0), model()->index(row, columnCount() - 1));
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::vector<int> HistoryRunTable::SelectedRows() const {
  std::vector<int> rows;
  for (int r = 0; r < rowCount(); ++r) {
    if (selectionModel()->isRowSelected(r, QModelIndex())) rows.push_back(r);
  }
  return rows;
}

void HistoryRunTable::ShowExcluded(int row, bool excluded, bool check) {
  const bool wasFilling = filling_;
  filling_ = true;
  if (QTableWidgetItem* box = item(row, kExcluded); box && check) {
    box->setCheckState(excluded ? Qt::Checked : Qt::Unchecked);
  }
  for (int c = 0; c < columnCount(); ++c) {
    if (QTableWidgetItem* cell = item(row, c)) {
      cell->setForeground(excluded ? QBrush(kExcludedText) : QBrush());
    }
  }
  filling_ = wasFilling;
}

void HistoryRunTable::RestoreText(int row, int column, const QString& text) {
  const bool wasFilling = filling_;
  filling_ = true;
  if (QTableWidgetItem* cell = item(row, column)) cell->setText(text);
  filling_ = wasFilling;
}

std::unique_ptr<QMenu> HistoryRunTable::RowMenu(int row) {
  auto menu = std::make_unique<QMenu>(this);
  if (row >= 0 && row < static_cast<int>(redatable_.size()) &&
      redatable_[static_cast<std::size_t>(row)]) {
    QAction* redate = menu->addAction(QStringLiteral("Re-date\u2026"));
    redate->setObjectName("RedateRun");
    connect(redate, &QAction::triggered, this, [this, row] { emit redateAsked(row); });
  }
  return menu;
}

void HistoryRunTable::ContextMenuAsked(const QPoint& at) {
  const std::unique_ptr<QMenu> menu = RowMenu(rowAt(at.y()));
  if (!menu->actions().isEmpty()) menu->exec(viewport()->mapToGlobal(at));
}

void HistoryRunTable::ItemChanged(QTableWidgetItem* changed) {
  if (filling_) return;
  switch (changed->column()) {
    case kSite:
      emit siteEdited(changed->row(), changed->text().trimmed());
      break;
    case kNote:
      emit noteEdited(changed->row(), changed->text().trimmed());
      break;
    case kExcluded:
      emit excludedToggled(changed->row(), changed->checkState() == Qt::Checked);
      break;
    default:
      break;
  }
}
