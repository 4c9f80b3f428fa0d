// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A history store in a folder of its own, and runs built by hand.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "history/history_store.h"
#include "records/date_time.h"

namespace kestrum::testing {

// Samples every hour from `start`, with values that differ from run to run.
inline DecodedRun HourlyRun(DateTime start, int hours, double base = 100) {
  DecodedRun run;
  run.start = start;
  for (int i = 0; i < hours; ++i) {
    const double pulses = std::round(base / 6 + 5 * std::sin(i / 3.0));
    run.samples.push_back({start + (i + 1) * kOneHour, pulses * 6,
                           std::round(std::sqrt(pulses) * 6), pulses, 20.0 + i % 5, 40.0 + i % 7,
                           99.5});
  }
  return run;
}

// Every field of the two samples agrees.
inline bool SameSample(const HistorySample& a, const HistorySample& b) {
  return a.time == b.time && a.concentration == b.concentration && a.error == b.error &&
         a.pulses == b.pulses && a.temperature == b.temperature && a.humidity == b.humidity &&
         a.pressure == b.pressure;
}

inline DecodedFile FileOf(std::vector<DecodedRun> runs) {
  DecodedFile file;
  file.model = InstrumentModel::K8;
  file.runs = std::move(runs);
  return file;
}

class HistoryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/kestrum-history-test-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    folder_ = name;
    path_ = folder_ + "/history.sqlite";
  }
  void TearDown() override {
    // A test that mounted a small file system there leaves nothing mounted.
    ::umount2((folder_ + "/small").c_str(), MNT_DETACH);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::unique_ptr<HistoryStore> OpenStore(int busyMilliseconds = 3000) {
    HistoryOpenOptions options;
    options.busyMilliseconds = busyMilliseconds;
    options.now = EncodeDate(2026, 12, 8) + EncodeTime(14, 5, 0, 0);
    auto opened = HistoryStore::Open(path_, options);
    EXPECT_TRUE(opened) << opened.error();
    return opened ? std::move(opened.value()) : nullptr;
  }

  // Imports `file` as the download named `name` (its bytes told by `name` too).
  Result<ImportCounts> Import(HistoryStore& store, const std::string& name, const DecodedFile& file,
                              const std::string& instrument = "K8-FT1") {
    return store.Import({instrument, folder_ + "/" + name, "hash-" + name, 0, true}, file);
  }

  std::string folder_;
  std::string path_;
};

}  // namespace kestrum::testing
