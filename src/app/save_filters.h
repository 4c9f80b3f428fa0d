// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Save dialog's file types, in the order the dialog lists them: the
// dialog's filters and what a chosen filter saves both come from this table.

#include <QStringList>
#include <optional>

namespace kestrum {

enum class SaveKind { kDataFile, kBitmap, kVector, kText, kPng, kPdf, kCsv };

struct SaveFilter {
  const char* text;
  SaveKind kind;
};

// Metafiles do not exist here: the vector picture is SVG. New types go at
// the end, so that the dialog's indices of the others stay.
inline constexpr SaveFilter kSaveFilters[] = {
    {"Rn Data File (*.Rn)", SaveKind::kDataFile},
    {"Bmp Graphics (*.Bmp)", SaveKind::kBitmap},
    {"Svg Graphics (*.Svg)", SaveKind::kVector},
    {"Text (.txt) (*.txt)", SaveKind::kText},
    {"Png Graphics (*.Png)", SaveKind::kPng},
    {"Pdf Document (*.Pdf)", SaveKind::kPdf},
    {"CSV (*.csv)", SaveKind::kCsv},
};

QStringList SaveFilterTexts();

// The file type of a dialog answer's filter index (1 is the first filter).
std::optional<SaveKind> SaveKindOf(int filterIndex);

// The extension a filter's pattern gives its kind, dot included (".Rn", ".txt").
QString SaveExtensionOf(SaveKind kind);

}  // namespace kestrum
