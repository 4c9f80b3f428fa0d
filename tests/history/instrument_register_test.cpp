// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument register: what is entered comes back (also from
// annotations.tsv into a store made again), what cannot be true is refused,
// and a calibration shows in the factors the downloads carried. A site's
// client comes back the same way.
#include <gtest/gtest.h>

#include "assessment/calibration_state.h"
#include "history/history_fixture.h"
#include "history/register_text.h"

namespace kestrum::testing {
namespace {

const DateTime kToday = EncodeDate(2026, 3, 10) + 0.5;

TEST_F(HistoryFixture, TheRegisterComesBackAndRefusesWhatCannotBeTrue) {
  auto store = OpenStore();
  ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kToday - 30, 5)})));
  InstrumentRegister entry;
  entry.calibratedOn = EncodeDate(2026, 1, 31);
  entry.certificate = "PTB 123/26";
  entry.intervalMonths = 13;
  entry.note = "sent back after a fall";
  ASSERT_TRUE(store->SetRegister("K8-FT1", entry, kToday));
  // The client goes with the site, whichever instrument measured it.
  const SiteClient client{"Jane Doe\tand Sons", "12 Elm Street\nSpringfield"};
  ASSERT_TRUE(store->SetSiteClient("Basement", client));
  const Result<> longClient = store->SetSiteClient("Attic", {std::string(201, 'c'), ""});
  ASSERT_FALSE(longClient);
  EXPECT_NE(longClient.error().find("at most 200"), std::string::npos);

  const struct {
    const char* name;
    InstrumentRegister entry;
    const char* refusal;
  } refused[] = {
      {"calibrated tomorrow", {EncodeDate(2026, 3, 11), "", 12, ""}, "after today"},
      {"no interval", {std::nullopt, "", 0, ""}, "1 to 120 months, not 0"},
      {"eleven years", {std::nullopt, "", 121, ""}, "1 to 120 months, not 121"},
      {"a pasted certificate", {std::nullopt, std::string(201, 'c'), 12, ""}, "at most 200"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.name);
    const Result<> set = store->SetRegister("K8-FT1", r.entry, kToday);
    ASSERT_FALSE(set);
    EXPECT_NE(set.error().find(r.refusal), std::string::npos) << set.error();
  }
  EXPECT_FALSE(store->SetRegister("K8-NONE", entry, kToday));

  // Read back, then from annotations.tsv into a store made again.
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "read back" : "restored");
    const std::optional<HistoryInstrument> found = store->FindInstrument("K8-FT1").value();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->entry.calibratedOn, entry.calibratedOn);
    EXPECT_EQ(found->entry.certificate, entry.certificate);
    EXPECT_EQ(found->entry.intervalMonths, 13);
    EXPECT_EQ(found->entry.note, entry.note);
    EXPECT_EQ(store->SiteClientOf("Basement")->client, client.client);
    EXPECT_EQ(store->SiteClientOf("Basement")->address, client.address);
    EXPECT_TRUE(store->SiteClientOf("Attic")->Empty());
    const Annotations words = store->CollectAnnotations().value();
    // As the file keeps it, tab and line end and all.
    const Result<AnnotationsRead> kept = ReadAnnotationsFile(store->AnnotationsPath());
    ASSERT_TRUE(kept && kept->found);
    ASSERT_EQ(kept->annotations.clients.size(), 1u);
    EXPECT_EQ(kept->annotations.clients[0].address, client.address);
    store.reset();
    std::remove(path_.c_str());
    store = OpenStore();
    ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kToday - 30, 5)})));
    ASSERT_TRUE(store->RestoreAnnotations(words, true));
  }
  // Thirteen months from 31 January: the last day of February a year on.
  EXPECT_EQ(DayText(CalibrationDue(*entry.calibratedOn, 13)), "2027-02-28");
  EXPECT_EQ(CalibrationStateFor(entry.calibratedOn, 13, EncodeDate(2027, 2, 28) + 0.9),
            CalibrationState::kCurrent);
  EXPECT_EQ(CalibrationStateFor(entry.calibratedOn, 13, EncodeDate(2027, 3, 1) + 0.1),
            CalibrationState::kOverdue);
  EXPECT_EQ(CalibrationStateFor(std::nullopt, 12, kToday), CalibrationState::kUnknown);
}

TEST_F(HistoryFixture, AChangedFactorBetweenDownloadsIsACalibration) {
  auto store = OpenStore();
  const double factors[] = {6.25, 6.25, 5.37};
  for (int n = 0; n < 3; ++n) {
    DecodedFile file = FileOf({HourlyRun(kToday - 90 + 30 * n, 5 + n)});
    file.calibrationFactor = factors[n];
    const std::string name = "d" + std::to_string(n);
    ASSERT_TRUE(store->Import(
        {"K8-FT1", folder_ + "/" + name, "hash-" + name, EncodeDate(2025, 3 + n, 1), true}, file));
  }
  const std::vector<FactorChange> changes = store->FactorChanges("K8-FT1").value();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(FactorChangeText(changes[0]),
            "calibration factor changed from 6.25 to 5.37 between the downloads of 2025-04-01 "
            "and 2025-05-01");
}

}  // namespace
}  // namespace kestrum::testing
