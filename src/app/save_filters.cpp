// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/save_filters.h"

#include <iterator>

namespace kestrum {

QStringList SaveFilterTexts() {
  QStringList texts;
  for (const SaveFilter& filter : kSaveFilters) texts << QString::fromLatin1(filter.text);
  return texts;
}

std::optional<SaveKind> SaveKindOf(int filterIndex) {
  if (filterIndex < 1 || filterIndex > static_cast<int>(std::size(kSaveFilters))) return {};
  return kSaveFilters[filterIndex - 1].kind;
}

QString SaveExtensionOf(SaveKind kind) {
  for (const SaveFilter& filter : kSaveFilters) {
    if (filter.kind != kind) continue;
    // "Text (.txt) (*.txt)": the pattern is the last "*." up to the parenthesis.
    const QString text = QString::fromLatin1(filter.text);
    const qsizetype star = text.lastIndexOf("*.");
    return text.mid(star + 1, text.lastIndexOf(')') - star - 1);
  }
  return {};
}

}  // namespace kestrum
