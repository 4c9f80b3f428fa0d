// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/limited_text_delegate.h"

#include <QLineEdit>

QWidget* LimitedTextDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setMaxLength(limit_);
  return editor;
}
