// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instrument_register_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "history/history_store.h"
#include "history/register_text.h"
#include "views/date_time_text.h"

namespace {

QDate DateOfDay(kestrum::DateTime day) {
  const kestrum::DateTimeFields f = kestrum::SplitDateTime(day);
  return QDate(f.year, f.month, f.day);
}

}  // namespace

InstrumentRegisterDialog::InstrumentRegisterDialog(
    const kestrum::HistoryInstrument& instrument, const std::vector<kestrum::FactorChange>& changes,
    kestrum::DateTime today, QWidget* parent)
    : QDialog(parent) {
  setObjectName("InstrumentRegisterDialog");
  setWindowTitle(QStringLiteral("Instrument %1").arg(QString::fromStdString(instrument.name)));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);

  auto* dayRow = new QHBoxLayout;
  CalibratedBox = new QCheckBox(QStringLiteral("entered"), this);
  CalibratedDate = new QDateEdit(this);
  CalibratedDate->setCalendarPopup(true);
  CalibratedDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  CalibratedDate->setMaximumDate(DateOfDay(today));
  const kestrum::InstrumentRegister& entry = instrument.entry;
  CalibratedBox->setChecked(entry.calibratedOn.has_value());
  CalibratedDate->setDate(entry.calibratedOn ? DateOfDay(*entry.calibratedOn) : DateOfDay(today));
  CalibratedDate->setEnabled(CalibratedBox->isChecked());
  connect(CalibratedBox, &QCheckBox::toggled, CalibratedDate, &QWidget::setEnabled);
  dayRow->addWidget(CalibratedBox);
  dayRow->addWidget(CalibratedDate, 1);
  form->addRow(QStringLiteral("Calibrated on"), dayRow);

  Certificate = new QLineEdit(QString::fromStdString(entry.certificate), this);
  Certificate->setMaxLength(static_cast<int>(kestrum::kSiteCharacterLimit));
  form->addRow(QStringLiteral("Certificate"), Certificate);

  Uncertainty = new QDoubleSpinBox(this);
  Uncertainty->setRange(-1, 100);
  Uncertainty->setDecimals(1);
  Uncertainty->setSuffix(QStringLiteral(" %"));
  Uncertainty->setSpecialValueText(QStringLiteral("not given"));
  Uncertainty->setValue(instrument.calibrationUncertainty.value_or(-1));
  form->addRow(QStringLiteral("Calibration uncertainty"), Uncertainty);

  Interval = new QSpinBox(this);
  Interval->setRange(1, kestrum::kLongestCalibrationInterval);
  Interval->setSuffix(QStringLiteral(" months"));
  Interval->setValue(entry.intervalMonths);
  form->addRow(QStringLiteral("Calibration holds for"), Interval);

  Note = new QLineEdit(QString::fromStdString(entry.note), this);
  Note->setMaxLength(static_cast<int>(kestrum::kNoteCharacterLimit));
  form->addRow(QStringLiteral("Note"), Note);

  if (!changes.empty()) {
    QStringList lines;
    for (const kestrum::FactorChange& change : changes) {
      lines << QString::fromStdString(kestrum::FactorChangeText(change));
    }
    auto* said = new QLabel(lines.join(QLatin1Char('\n')), this);
    said->setWordWrap(true);
    layout->addWidget(said);
    // The instrument came back calibrated between the two downloads; the later is the
    // first day it is known to carry the new factor.
    auto* take =
        new QPushButton(QStringLiteral("Take the latest change as the calibration day"), this);
    take->setObjectName("TakeFactorChange");
    const QDate day = DateOfDay(changes.back().after);
    connect(take, &QPushButton::clicked, this, [this, day] {
      CalibratedBox->setChecked(true);
      CalibratedDate->setDate(day);
    });
    layout->addWidget(take);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

RegisterEdit InstrumentRegisterDialog::Edit() const {
  RegisterEdit edit;
  if (Uncertainty->value() >= 0) edit.calibrationUncertainty = Uncertainty->value();
  if (CalibratedBox->isChecked()) {
    const QDate d = CalibratedDate->date();
    edit.entry.calibratedOn = kestrum::EncodeDate(d.year(), d.month(), d.day());
  }
  edit.entry.certificate = Certificate->text().trimmed().toStdString();
  edit.entry.intervalMonths = Interval->value();
  edit.entry.note = Note->text().trimmed().toStdString();
  return edit;
}
