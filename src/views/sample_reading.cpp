// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/sample_reading.h"

#include <QStringList>
#include <cmath>

#include "records/date_time.h"
#include "views/run_sample_range.h"

namespace kestrum {

std::int32_t NearestSample(const MeasurementStore& store, int run, DateTime time) {
  const SampleRange range = RunSampleRange(store, run);
  std::int32_t lo = range.first;
  std::int32_t hi = range.last;
  if (hi < lo) return -1;
  // Samples lie in time order within a run: find the first at or after `time`.
  while (lo < hi) {
    const std::int32_t mid = lo + (hi - lo) / 2;
    if (store.Samples[static_cast<std::size_t>(mid)].Time < time) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  std::int32_t best = -1;
  double bestDistance = 0;
  for (std::int32_t i : {lo - 1, lo}) {
    if (i < range.first || i > range.last) continue;
    const SampleRecord& s = store.Samples[static_cast<std::size_t>(i)];
    if (s.Time == 0) continue;
    const double distance = std::abs(s.Time - time);
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

QString FullDateTimeText(DateTime value) {
  const DateTimeFields f = SplitDateTime(value + kOneMillisecond / 2);
  return QString::asprintf("%04d-%02d-%02d %02d:%02d", f.year, f.month, f.day, f.hour, f.minute);
}

QString SampleReadingText(const SampleRecord& sample, const ModelChannels& channels,
                          RadonUnit unit) {
  const int decimals = unit == RadonUnit::PciPerL ? 2 : 0;
  const auto value = [&](Extended bq) {
    return QString::number(InRadonUnit(static_cast<double>(bq), unit), 'f', decimals);
  };
  QString text = FullDateTimeText(sample.Time) + QLatin1Char('\n') + value(sample.Concentration) +
                 QStringLiteral(" \u00b1 ") + value(sample.Error) + QLatin1Char(' ') +
                 RadonUnitText(unit);
  QStringList environment;
  if (channels.temperature) {
    environment << QStringLiteral("T %1 \u00b0C")
                       .arg(static_cast<double>(sample.TemperatureValue), 0, 'f', 1);
  }
  if (channels.humidity) {
    environment << QStringLiteral("RH %1 %").arg(static_cast<double>(sample.HumidityValue), 0, 'f',
                                                 1);
  }
  if (channels.pressure) {
    environment
        << QStringLiteral("P %1 kPa").arg(static_cast<double>(sample.PressureValue), 0, 'f', 2);
  }
  if (!environment.isEmpty()) text += QLatin1Char('\n') + environment.join(QStringLiteral("  "));
  return text;
}

}  // namespace kestrum
