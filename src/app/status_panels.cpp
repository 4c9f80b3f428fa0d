#include "app/status_panels.h"

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
  setObjectName("StatusBar1");
  setFixedHeight(19);
  setSizeGripEnabled(false);
  for (int i = 0; i < 2; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    panels_[i]->setContentsMargins(2, 0, 2, 0);
  }
  panels_[0]->setFixedWidth(300);
  panels_[1]->setMinimumWidth(50);
  addWidget(panels_[0]);
  addWidget(panels_[1], 1);
}

QString StatusPanels::Text(int panel) const {
  return panels_[panel]->text();
}

void StatusPanels::SetText(int panel, const QString& text) {
  panels_[panel]->setText(text);
}

int StatusPanels::PanelWidth(int panel) const {
  return panel == 0 ? panels_[0]->width() : panels_[1]->minimumWidth();
}

void StatusPanels::RepaintNow() {
  repaint();
}
