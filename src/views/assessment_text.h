// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An assessment in words: the one sentence that answers "is this room above
// the reference level?", then its figures, for the summary dock, the
// history window and the report alike.

#include <QString>
#include <vector>

#include "assessment/assessment.h"
#include "views/radon_units.h"
#include "views/summary_text.h"

namespace kestrum {

// "Basement, 2025: annual mean 361 ± 44 Bq/m3, above EU 300."
// "Test 2026-03-02 14:00 to 03-04 12:00: 3.9 pCi/L, consider fixing."
// `site` leads the sentence when not empty.
QString AssessmentSentence(const Assessment& a, const QString& site, RadonUnit unit);

// The protocol, the hours, the mean and each part of its uncertainty, and
// what each level's verdict still needs.
std::vector<SummaryRow> AssessmentRows(const Assessment& a, RadonUnit unit);

// "Period", "Annual", "US short-term test", "Long-term (seasonal)", "Workplace".
QString ProtocolTitle(Protocol protocol);

}  // namespace kestrum
