// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reading under the mouse pointer: a small box beside the pointer with
// what the chart's owner says about the nearest sample in time. A child
// widget, so pictures and print-outs never show it; it leaves clicks, drags
// and the zoom alone.

#include <QLabel>
#include <functional>

#include "records/measurement_store.h"

namespace kestrum {

// The text for the pointer's time; empty: no box.
using ReadoutSource = std::function<QString(DateTime)>;

class CursorReadout : public QLabel {
  Q_OBJECT
 public:
  explicit CursorReadout(QWidget* chart);

  void SetSource(ReadoutSource source) { source_ = std::move(source); }
  bool HasSource() const { return static_cast<bool>(source_); }
  // Shows the reading for `time` next to `pointer` (chart pixels), kept
  // inside `area`; hides when there is nothing to say.
  void ShowAt(DateTime time, const QPoint& pointer, const QRect& area);

 private:
  ReadoutSource source_;
};

}  // namespace kestrum
