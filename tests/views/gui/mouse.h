// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Mouse and key input sent straight to a widget, as a user's hand would.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace kestrum::testing {

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons held) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

inline void Drag(QWidget* w, QPoint from, QPoint to) {
  SendMouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton);
  SendMouse(w, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
  SendMouse(w, QEvent::MouseMove, to, Qt::LeftButton);
  SendMouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

inline void Click(QWidget* w, QPoint at) {
  SendMouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
  SendMouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

// Press, release, double click, release: what a double click delivers.
inline void DoubleClick(QWidget* w, QPoint at) {
  Click(w, at);
  SendMouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
  SendMouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

inline void PressKey(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

}  // namespace kestrum::testing
