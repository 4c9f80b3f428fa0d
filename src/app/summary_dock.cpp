// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/summary_dock.h"

#include <QVBoxLayout>

#include "app/summary_html.h"

SummaryDock::SummaryDock(ProfileSources sources, QWidget* parent)
    : QDockWidget(QStringLiteral("Summary"), parent) {
  setObjectName("SummaryDock");
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  auto* inside = new QWidget(this);
  auto* layout = new QVBoxLayout(inside);
  layout->setContentsMargins(2, 2, 2, 2);
  Chooser = new AssessmentChooser(std::move(sources), inside);
  layout->addWidget(Chooser);
  text_ = new QTextBrowser(inside);
  text_->setMinimumWidth(250);
  QFont small = text_->font();
  small.setPixelSize(11);
  text_->setFont(small);
  layout->addWidget(text_, 1);
  setWidget(inside);
}

void SummaryDock::ShowSummary(const kestrum::RunSummary& summary,
                              const kestrum::MeasurementSource& source, kestrum::RadonUnit unit) {
  const SummaryPage out = ComposeRunSummary(summary, source, unit, Chooser->Missing());
  plain_ = out.plain;
  // One choice refreshes the summary more than once; laying the same page
  // out again would only cost time.
  if (out.html == shownHtml_) return;
  shownHtml_ = out.html;
  text_->setHtml(out.html);
}

void SummaryDock::ShowNothing() {
  plain_ = QStringLiteral("Choose a measurement to see its summary.");
  shownHtml_ = QStringLiteral("<p>%1</p>").arg(plain_);
  text_->setHtml(shownHtml_);
}
