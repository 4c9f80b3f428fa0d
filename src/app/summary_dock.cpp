// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/summary_dock.h"

namespace {

QString Plain(const std::vector<kestrum::SummaryRow>& rows) {
  QStringList lines;
  for (const kestrum::SummaryRow& row : rows) lines << (row.label + QLatin1Char(' ') + row.value);
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString Table(const std::vector<kestrum::SummaryRow>& rows) {
  QString html = QStringLiteral("<table cellspacing=0 cellpadding=1>");
  for (const kestrum::SummaryRow& row : rows) {
    html += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;%2</td></tr>")
                .arg(row.label.toHtmlEscaped(), row.value.toHtmlEscaped());
  }
  return html + QStringLiteral("</table>");
}

}  // namespace

SummaryDock::SummaryDock(QWidget* parent) : QDockWidget(QStringLiteral("Summary"), parent) {
  setObjectName("SummaryDock");
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  text_ = new QTextBrowser(this);
  text_->setMinimumWidth(250);
  QFont small = text_->font();
  small.setPixelSize(11);
  text_->setFont(small);
  setWidget(text_);
}

void SummaryDock::ShowSummary(const kestrum::RunSummary& summary,
                              const kestrum::MeasurementSource& source, kestrum::RadonUnit unit) {
  const auto rows = kestrum::SummaryRows(summary, source, unit);
  QString html = Table(rows);
  plain_ = Plain(rows);
  const QStringList sentences = kestrum::VerdictSentences(summary, unit);
  plain_ += sentences.join(QLatin1Char('\n'));
  if (!sentences.isEmpty()) {
    html += QStringLiteral("<p><b>Reference levels</b></p>");
    for (const QString& s : sentences) html += QStringLiteral("<p>%1</p>").arg(s.toHtmlEscaped());
  }
  const auto days = kestrum::DailyMeanRows(summary, unit);
  if (!days.empty()) html += QStringLiteral("<p><b>Daily means</b></p>") + Table(days);
  plain_ += QLatin1Char('\n') + Plain(days);
  text_->setHtml(html);
}

void SummaryDock::ShowNothing() {
  plain_ = QStringLiteral("Choose a measurement to see its summary.");
  text_->setHtml(QStringLiteral("<p>%1</p>").arg(plain_));
}
