// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The question before a report: the site (unless the runs shown give it),
// the client and address, the operator and their certification number, the
// paper, and for the period whether the one-page report will do.

#include <QWidget>
#include <optional>

#include "app/chart_additions_settings.h"

// Empty when cancelled; the texts trimmed.
std::optional<kestrum::ReportDetails> AskReportDetailsBox(QWidget* parent,
                                                          const kestrum::ReportDetails& offered);
