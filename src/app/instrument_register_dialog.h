// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Instrument…" of the history window: the register's entry of the shown
// instrument, with the calibration factor changes its downloads show, the
// latest of which can be taken as the calibration day.

#include <QDialog>
#include <optional>
#include <vector>

#include "history/history_types.h"

class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// What the dialog gives back.
struct RegisterEdit {
  std::optional<double> calibrationUncertainty;
  kestrum::InstrumentRegister entry;
};

class InstrumentRegisterDialog : public QDialog {
 public:
  // `today`: no calibration day after it can be entered.
  InstrumentRegisterDialog(const kestrum::HistoryInstrument& instrument,
                           const std::vector<kestrum::FactorChange>& changes,
                           kestrum::DateTime today, QWidget* parent);
  RegisterEdit Edit() const;

  QCheckBox* CalibratedBox = nullptr;
  QDateEdit* CalibratedDate = nullptr;
  QLineEdit* Certificate = nullptr;
  QDoubleSpinBox* Uncertainty = nullptr;  // its minimum reads "not given"
  QSpinBox* Interval = nullptr;
  QLineEdit* Note = nullptr;
};
