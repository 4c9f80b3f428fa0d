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

}  // namespace kestrum
