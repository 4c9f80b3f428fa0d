// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/condition_thresholds_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QDoubleSpinBox* Threshold(QDialog& box, const char* name, std::optional<double> value,
                          double fallback, double low, double high, int decimals,
                          const QString& unit) {
  auto* spin = new QDoubleSpinBox(&box);
  spin->setObjectName(name);
  spin->setDecimals(decimals);
  spin->setRange(low, high);
  spin->setSingleStep(decimals == 2 ? 0.05 : 0.5);
  spin->setSuffix(QLatin1Char(' ') + unit);
  spin->setValue(value.value_or(fallback));
  return spin;
}

}  // namespace

std::optional<kestrum::ConditionThresholds> AskConditionThresholdsBox(
    QWidget* parent, const kestrum::ConditionThresholds& offered) {
  const kestrum::ConditionThresholds usual;
  QDialog box(parent);
  box.setWindowTitle(QStringLiteral("Condition thresholds"));
  auto* form = new QFormLayout(&box);
  auto* note = new QLabel(QStringLiteral("An hour is marked when, from the hour before, one of "
                                         "these changed by more than:"),
                          &box);
  note->setWordWrap(true);
  form->addRow(note);
  auto* temperature = Threshold(box, "ThresholdTemperature", offered.temperature,
                                *usual.temperature, 0.1, 50, 1, QStringLiteral("\u00b0C"));
  auto* humidity = Threshold(box, "ThresholdHumidity", offered.humidity, *usual.humidity, 0.5, 100,
                             1, QStringLiteral("points"));
  auto* pressure = Threshold(box, "ThresholdPressure", offered.pressure, *usual.pressure, 0.01, 20,
                             2, QStringLiteral("kPa"));
  form->addRow(QStringLiteral("Temperature:"), temperature);
  form->addRow(QStringLiteral("Humidity:"), humidity);
  form->addRow(QStringLiteral("Pressure:"), pressure);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  QObject::connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, &box,
                   [=] {
                     temperature->setValue(*usual.temperature);
                     humidity->setValue(*usual.humidity);
                     pressure->setValue(*usual.pressure);
                   });
  form->addRow(buttons);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return kestrum::ConditionThresholds{temperature->value(), humidity->value(), pressure->value()};
}
