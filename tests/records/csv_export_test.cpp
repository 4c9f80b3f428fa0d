// SPDX-License-Identifier: GPL-3.0-or-later
// What the sample files do not show: samples stamped 0, negative and
// fractional numbers, and fields that need quotes.
#include <gtest/gtest.h>

#include <memory>

#include "records/csv_export.h"
#include "records/date_time.h"

namespace kestrum {
namespace {

TEST(CsvExport, StampedZeroSamplesAreLeftOutAndNumbersKeepTheirSign) {
  auto store = std::make_unique<MeasurementStore>();
  store->MemoryImage[0] = ModelMarkerOf(InstrumentModel::K6);
  const DateTime start = EncodeDate(2024, 3, 31) + EncodeTime(0, 56, 0, 0);
  store->Samples[0] = {12.25L, 3, start, 4, -1.5L, 55.125L, 999};
  store->Samples[1] = {7, 1, 0, 2, 20, 50, 999};  // never measured
  store->Samples[2] = {0.0005L, 0, start + 1.0 / 24, 0, 0, 0, 999};
  store->Samples[3] = {5, 1, start - 1, 2, 20, 50, 999};
  store->LastSampleIndex = 3;
  store->RunCount = 2;
  store->Runs[0] = {0, 2, start};
  store->Runs[1] = {3, 3, start - 1};
  // A K6 has no pressure sensor: that column stays empty.
  EXPECT_EQ(CsvExportContent(*store).text,
            "time,run,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa\n"
            "2024-03-31T00:56,0,12.250,4.000,3.000,-1.500,55.125,\n"
            "2024-03-31T01:56,0,0.001,0.000,0.000,0.000,0.000,\n"
            "2024-03-30T00:56,1,5.000,2.000,1.000,20.000,50.000,\n");
  EXPECT_EQ(CsvExportContent(*store, {1}).rows, 1);
}

TEST(CsvExport, FieldsAreQuotedOnlyWhereNeeded) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {{"Cellar", "Cellar"},
               {"Cellar, north", "\"Cellar, north\""},
               {"the \"old\" house", "\"the \"\"old\"\" house\""},
               {"two\nlines", "\"two\nlines\""},
               {"Küche", "Küche"}};
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;
}

}  // namespace
}  // namespace kestrum
