// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// View > Condition thresholds: the changes from one hour to the next in
// temperature, humidity and pressure beyond which an hour is marked.

#include <QWidget>
#include <optional>

#include "assessment/condition_marks.h"

// Empty when cancelled; each threshold given (the channels a model lacks
// are left out where the marks are made).
std::optional<kestrum::ConditionThresholds> AskConditionThresholdsBox(
    QWidget* parent, const kestrum::ConditionThresholds& offered);
