// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table cell edited in a line that takes no more than a set number of
// characters: the history refuses longer sites and notes, so the field does too.

#include <QStyledItemDelegate>

class LimitedTextDelegate : public QStyledItemDelegate {
 public:
  LimitedTextDelegate(int limit, QObject* parent) : QStyledItemDelegate(parent), limit_(limit) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

 private:
  int limit_;
};
