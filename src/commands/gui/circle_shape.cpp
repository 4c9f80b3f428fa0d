// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/gui/circle_shape.h"

#include <QPainter>

CircleShape::CircleShape(const QColor& colour, QWidget* parent)
    : QWidget(parent), colour_(colour) {}

void CircleShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(colour_);
  painter.setBrush(colour_);
  painter.drawEllipse(rect().adjusted(0, 0, -1, -1));
}
