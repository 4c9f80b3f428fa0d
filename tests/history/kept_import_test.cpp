// SPDX-License-Identifier: GPL-3.0-or-later
// The kept-downloads folder into the history: damaged files are skipped and
// named, the rest imported once, oldest first.
#include <fstream>

#include "history/history_files.h"
#include "history_fixture.h"
#include "records/image_generator.h"
#include "records/kept_downloads.h"

namespace kestrum::testing {
namespace {

std::string Keep(const std::string& folder, int runs, std::uint32_t seed, DateTime at) {
  GeneratorOptions options;
  options.model = InstrumentModel::K7;
  options.runs = runs;
  options.hours = 30;
  options.seed = seed;
  const std::vector<std::uint8_t> image = GenerateMemoryImage(options);
  const Result<KeptDownloadFile> kept =
      KeepDownload(folder, InstrumentModel::K7, "FT9", at,
                   std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
  EXPECT_TRUE(kept) << kept.error();
  return kept ? kept->path : std::string();
}

TEST_F(HistoryFixture, KeptDownloadsAreTakenOnceAndDamagedOnesNamed) {
  const std::string kept = folder_ + "/downloads";
  const DateTime day = EncodeDate(2026, 6, 1);
  const std::string first = Keep(kept, 1, 7, day);
  const std::string second = Keep(kept, 2, 7, day + 1);  // the same run and one more
  const std::string garbage = kept + "/K7-FT9-20260603-000000.Rn";
  std::ofstream(garbage, std::ios::binary) << std::string(131072, 'Z');
  const std::string cut = kept + "/K7-FT9-20260604-000000.Rn";
  std::ofstream(cut, std::ios::binary) << std::string(100, '3');

  auto store = OpenStore();
  ASSERT_TRUE(store);
  const std::vector<FileImport> imports = ImportKeptDownloads(*store, kept, day + 30);
  ASSERT_EQ(imports.size(), 4u);
  EXPECT_EQ(imports[0].path, first);  // oldest first, so the run grows
  EXPECT_EQ(imports[1].path, second);
  ASSERT_TRUE(imports[0].counts);
  ASSERT_TRUE(imports[1].counts);
  EXPECT_EQ(imports[1].counts->sameRuns, 1);
  EXPECT_EQ(imports[1].counts->newRuns, 1);
  for (const std::size_t bad : {2u, 3u}) {
    ASSERT_FALSE(imports[bad].counts);
    EXPECT_NE(ImportLine(imports[bad]).find("skipped"), std::string::npos)
        << ImportLine(imports[bad]);
  }
  const std::vector<HistoryRun> runs = store->Runs("K7-FT9").value();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].downloads, 2);
  // A second pass decodes nothing known again; only the damaged are retried.
  const std::vector<FileImport> again = ImportKeptDownloads(*store, kept, day + 30);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_FALSE(again[0].counts);
  EXPECT_FALSE(again[1].counts);
  EXPECT_EQ(store->Runs("K7-FT9").value().size(), 2u);
}

}  // namespace
}  // namespace kestrum::testing
