// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/first_frame_report.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

class FirstPaintWatch : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      // Queued: the backing store is flushed to the display after the paint returns.
      QTimer::singleShot(0, this, [this] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::fprintf(stderr, "kestrum: first frame %lld\n",
                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stderr);
        deleteLater();
      });
    }
    return false;
  }
};

}  // namespace

void ReportFirstFrameWhenAsked(QWidget& window) {
  if (std::getenv("KESTRUM_REPORT_FIRST_FRAME") == nullptr) return;
  window.installEventFilter(new FirstPaintWatch(&window));
}
