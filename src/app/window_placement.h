// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a window of our own opens: over the main window, on the screen that
// holds it and wholly inside that screen's free area, made smaller when its
// size would not fit.

#include <QRect>
#include <QSize>

class QWidget;

// The frame for a window of `size` opened over `owner` inside `available`.
QRect PlacedInside(const QSize& size, const QRect& owner, const QRect& available);

void PlaceOverOwner(QWidget* window, const QWidget* owner);
