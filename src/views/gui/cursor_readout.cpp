// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/cursor_readout.h"

namespace kestrum {

CursorReadout::CursorReadout(QWidget* chart) : QLabel(chart) {
  setObjectName(QStringLiteral("CursorReadout"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setStyleSheet(
      QStringLiteral("background: rgba(255, 255, 255, 230); border: 1px solid rgb(0, 128, 255); "
                     "padding: 2px; color: black;"));
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
  hide();
}

void CursorReadout::ShowAt(DateTime time, const QPoint& pointer, const QRect& area) {
  const QString text = source_ && area.contains(pointer) ? source_(time) : QString();
  if (text.isEmpty()) {
    hide();
    return;
  }
  if (text != this->text()) {
    setText(text);
    adjustSize();
  }
  QPoint at = pointer + QPoint(14, 14);
  if (at.x() + width() > area.right()) at.setX(pointer.x() - 14 - width());
  if (at.y() + height() > area.bottom()) at.setY(pointer.y() - 14 - height());
  move(at);
  show();
  raise();
}

}  // namespace kestrum
