// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/status_panels.h"

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
  setObjectName("StatusBar1");
  setFixedHeight(19);
  setSizeGripEnabled(false);
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    panels_[i]->setContentsMargins(2, 0, 2, 0);
  }
  panels_[0]->setFixedWidth(300);
  panels_[1]->setMinimumWidth(50);
  // Never wider than its text, and never pushing the progress panel out:
  // a long text is cut, the tooltip holds it whole.
  QLabel* outcome = panels_[kOutcomePanel];
  outcome->setMinimumWidth(50);
  outcome->setMaximumWidth(520);
  outcome->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
  outcome->hide();
  addWidget(panels_[0]);
  addWidget(panels_[1], 1);
  addPermanentWidget(outcome);
}

QString StatusPanels::Text(int panel) const {
  return panels_[panel]->text();
}

void StatusPanels::SetText(int panel, const QString& text) {
  panels_[panel]->setText(text);
  if (panel != kOutcomePanel) return;
  panels_[panel]->setToolTip(text);
  panels_[panel]->setVisible(!text.isEmpty());
}

int StatusPanels::PanelWidth(int panel) const {
  return panel == 0 ? panels_[0]->width() : panels_[panel]->minimumWidth();
}

void StatusPanels::RepaintNow() {
  repaint();
}
