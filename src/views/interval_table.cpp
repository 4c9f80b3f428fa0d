// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/interval_table.h"

#include <array>

namespace kestrum {
namespace {

struct IntervalItem {
  std::string_view text;
  int samples;
  std::string_view title;
};

constexpr std::array<IntervalItem, kIntervalItemCount> kItems{{
    {"2h", 2, "2h-Mean"},
    {"4h", 4, "4h-Mean"},
    {"8h", 8, "8h-Mean"},
    {"12h", 12, "12h-Mean"},
    {"24h", 24, "24h-Mean"},
    {"2d", 48, "2d-Mean"},
    {"7d", 168, "7d-Mean"},
    {"Mean", 0, "Mean"},
}};

bool IsItem(int itemIndex) {
  return itemIndex >= 0 && itemIndex < kIntervalItemCount;
}

}  // namespace

int IntervalSamples(int itemIndex) {
  return IsItem(itemIndex) ? kItems[static_cast<std::size_t>(itemIndex)].samples : -1;
}

std::string_view IntervalItemText(int itemIndex) {
  return IsItem(itemIndex) ? kItems[static_cast<std::size_t>(itemIndex)].text : std::string_view();
}

std::string_view IntervalTitleLine(int itemIndex) {
  return IsItem(itemIndex) ? kItems[static_cast<std::size_t>(itemIndex)].title : std::string_view();
}

std::optional<int> IntervalItemFromText(std::string_view text) {
  for (int i = 0; i < kIntervalItemCount; ++i) {
    if (kItems[static_cast<std::size_t>(i)].text == text) return i;
  }
  return std::nullopt;
}

}  // namespace kestrum
