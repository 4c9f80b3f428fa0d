// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_placement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

QRect PlacedInside(const QSize& size, const QRect& owner, const QRect& available) {
  const QSize fitted = size.boundedTo(available.size());
  QRect frame(QPoint(0, 0), fitted);
  frame.moveCenter(owner.center());
  // Pushed back inside, left and top edges last so they stay in sight.
  frame.moveRight(std::min(frame.right(), available.right()));
  frame.moveBottom(std::min(frame.bottom(), available.bottom()));
  frame.moveLeft(std::max(frame.left(), available.left()));
  frame.moveTop(std::max(frame.top(), available.top()));
  return frame;
}

void PlaceOverOwner(QWidget* window, const QWidget* owner) {
  if (!window || !owner) return;
  const QScreen* screen = owner->screen();
  if (!screen) return;
  const QRect frame =
      PlacedInside(window->size(), owner->frameGeometry(), screen->availableGeometry());
  window->resize(frame.size());
  window->move(frame.topLeft());
}
