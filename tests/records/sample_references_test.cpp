// SPDX-License-Identifier: GPL-3.0-or-later
// The decode of every sample file against reference files written once and
// kept in tests/data: the run list, "k5dat.tmp" (kept as .k5dat.txt, since
// *.tmp is ignored) and the text export. A change in any decoded digit fails
// this test; that the files themselves are right is checked by a decode of
// their own, check_references.py, written apart from the program's.
//
// To regenerate them on purpose (after a deliberate change of the decode, to
// be reviewed in the diff):
//   KESTRUM_WRITE_REFERENCES=1 ./build/tests/records_tests --gtest_filter='SampleReferences*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "records/checked_file.h"
#include "records/date_time.h"
#include "records/decode_files.h"
#include "records/measurement_store.h"
#include "records/open_data_file.h"
#include "records/text_export.h"

namespace {

using kestrum::DateTimeSeparators;

std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("KESTRUM_SOURCE_DIR");
  return std::string(root ? root : ".") + "/" + relative;
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// The first line that differs, for a readable failure on large files.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected), b(actual);
  std::string lineA, lineB;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) return "same lines, different bytes";
    if (!moreA || !moreB || lineA != lineB)
      return "line " + std::to_string(line) + ": expected \"" + (moreA ? lineA : "<end>") +
             "\", decoded \"" + (moreB ? lineB : "<end>") + "\"";
  }
}

class SampleReferences : public testing::TestWithParam<const char*> {};

TEST_P(SampleReferences, DecodeMatchesTheKeptReferenceFiles) {
  const std::string stem = GetParam();
  auto store = std::make_unique<kestrum::MeasurementStore>();
  kestrum::DecodeContext context;
  // After every sample run starts, so none is left out as lying in the future.
  context.now = kestrum::EncodeDate(2026, 1, 1);
  context.writeFiles = false;
  const auto opened = kestrum::OpenDataFile(SourcePath("samples/" + stem + ".Rn"), *store, context);
  ASSERT_TRUE(opened.ok()) << opened.error();

  const DateTimeSeparators separators;  // "/" and ":", as in the C locale
  std::string runs;
  for (const std::string& item : opened->decode.itemTexts) runs += item + "\n";
  const struct {
    std::string suffix;
    std::string actual;
  } references[] = {
      {".runs.txt", runs},
      {".k5dat.txt", kestrum::K5datText(*store, separators)},
      {".export.txt", kestrum::TextExportContent(*store, separators)},
  };
  for (const auto& reference : references) {
    const std::string path = SourcePath("tests/data/" + stem + reference.suffix);
    if (std::getenv("KESTRUM_WRITE_REFERENCES")) {
      ASSERT_EQ(kestrum::WriteFileReplacing(path, reference.actual).error(), "");
      continue;
    }
    const std::string expected = ReadText(path);
    ASSERT_FALSE(expected.empty()) << path << " is missing; see the top of this file";
    if (expected != reference.actual)
      ADD_FAILURE() << stem << reference.suffix << ", "
                    << FirstDifference(expected, reference.actual);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, SampleReferences,
                         testing::Values("k5-sample", "k6-sample", "k7-sample", "k8-sample"));

}  // namespace
