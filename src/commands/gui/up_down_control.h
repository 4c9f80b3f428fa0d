// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An up-down control: two arrow buttons stepping a position between a
// minimum and a maximum, shown in the edit it is bound to. The arrow keys
// step it too while that edit has the focus.

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

class UpDownControl : public QWidget {
  Q_OBJECT
 public:
  explicit UpDownControl(QWidget* parent = nullptr);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Increment() const { return increment_; }
  int Position() const { return position_; }
  void SetRange(int min, int max);
  void SetIncrement(int increment) { increment_ = increment; }
  // Kept within the range; shown in the bound edit.
  void SetPosition(int position);
  void StepUp() { SetPosition(position_ + increment_); }
  void StepDown() { SetPosition(position_ - increment_); }

  // The edit that shows the position (not owned).
  void Associate(QLineEdit* edit);

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 signals:
  void PositionChanged(int position);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowPosition();

  QToolButton* up_;
  QToolButton* down_;
  QLineEdit* edit_ = nullptr;
  int min_ = 0;
  int max_ = 100;
  int increment_ = 1;
  int position_ = 0;
};
