// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The items of the mean-interval box: what each selects and the
// title line it puts on the chart.

#include <optional>
#include <string_view>

namespace kestrum {

inline constexpr int kIntervalItemCount = 8;
inline constexpr int kRunningMeanItem = 7;  // "Mean"

// Samples (hours) averaged by an item; 0 is the running mean. -1 for an
// index that names no item.
int IntervalSamples(int itemIndex);

// "2h" .. "7d", "Mean"; empty for an index that names no item.
std::string_view IntervalItemText(int itemIndex);

// "2h-Mean" .. "7d-Mean", "Mean"; empty for an index that names no item.
std::string_view IntervalTitleLine(int itemIndex);

// The item whose text is `text` ("24h", "Mean", ...).
std::optional<int> IntervalItemFromText(std::string_view text);

}  // namespace kestrum
