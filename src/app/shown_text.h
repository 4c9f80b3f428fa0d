// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text the user typed, as a label or rich text shows it: at most `limit`
// characters. A store written before sites and notes had limits can hold a
// paste of a megabyte, which a text view takes minutes to lay out.

#include <QString>

#include <cstddef>
#include <string>

inline QString ShownText(const std::string& text, std::size_t limit) {
  // Cut in bytes first: converting a megabyte only to drop it costs as much.
  const std::size_t bytes = std::min(text.size(), limit * 4 + 4);
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(bytes));
  if (bytes < text.size() || static_cast<std::size_t>(shown.size()) > limit) {
    shown.truncate(static_cast<qsizetype>(limit));
    shown += QChar(0x2026);
  }
  return shown;
}
