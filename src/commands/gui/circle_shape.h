// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A filled circle the size of the widget, outline and fill in one colour:
// the red and green lamps of the trigger-level dialog.

#include <QColor>
#include <QWidget>

class CircleShape : public QWidget {
  Q_OBJECT
 public:
  CircleShape(const QColor& colour, QWidget* parent = nullptr);
  QColor Colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};
