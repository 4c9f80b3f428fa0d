// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Per-model facts that the window, the views and the export ask about.

#include "records/instrument_model.h"

namespace kestrum {

// K6, K7 and K8 samples carry temperature and humidity.
inline constexpr bool HasTemperatureAndHumidity(InstrumentModel model) {
  return model != InstrumentModel::K5;
}

// K7 and K8 samples carry air pressure.
inline constexpr bool HasPressure(InstrumentModel model) {
  return model == InstrumentModel::K7 || model == InstrumentModel::K8;
}

// K6, K7 and K8 decodes write the diagnostic text and "debug.tmp".
inline constexpr bool WritesDiagnosticText(InstrumentModel model) {
  return model != InstrumentModel::K5;
}

// The text export has the temperature, humidity and pressure columns for
// K7 and K8 images only (a K6 export has three columns).
inline constexpr bool ExportHasEnvironmentColumns(InstrumentModel model) {
  return HasPressure(model);
}

// K7 and K8 images keep the pressure coefficients in header bytes 9-16.
inline constexpr bool HasPressureCoefficients(InstrumentModel model) {
  return HasPressure(model);
}

}  // namespace kestrum
