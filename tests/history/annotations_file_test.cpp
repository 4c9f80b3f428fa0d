// SPDX-License-Identifier: GPL-3.0-or-later
// annotations.tsv: whatever bytes the user typed come back as they were,
// and one damaged line costs only itself.
#include "history/annotations_file.h"

#include <gtest/gtest.h>

#include "history/history_types.h"

namespace kestrum::testing {
namespace {

TEST(AnnotationsFileTest, EveryTextComesBackAsItWasAndABadLineCostsOnlyItself) {
  const std::string texts[] = {
      "Basement",      "tab\there",
      "two\nlines",    "cr\rhere",
      "back\\slash\\", "\xff\xfe not utf-8",
      "esc\x1b[2J",    std::string("nul\0in", 6),
      "Küche ☢",       "",
  };
  Annotations a;
  int version = 0;
  for (const std::string& text : texts) {
    EXPECT_EQ(EscapeAnnotationField(text).find_first_of("\t\n\r"), std::string::npos) << text;
    RunAnnotation run;
    run.key = {"K7-" + text, RunStartMinute(EncodeDate(2024, 3, 5)) + version, version % 2};
    run.site = text;
    run.note = text + text;
    run.excluded = version % 2 == 1;
    run.timeShift = version * 0.1;
    a.runs.push_back(run);
    a.activity.push_back({45000.5 + version, "history", text, text});
    ++version;
  }
  a.instruments = {{"K8-FT1", 7.5, EncodeDate(2026, 1, 31), "PTB\t1", 24, "sent back"},
                   {"K8-FT2", std::nullopt, std::nullopt, "", 12, ""}};
  a.files = {{"K5-LOFT", "/home/a b/\xffloft.Rn"}};

  std::string text = AnnotationsText(a);
  text += "run\tbroken line\n";
  // A start the instrument's clock cannot give (years 2000 to 2099 only).
  text += "run\tK7-X\t00240305-143000\t0\t0\t0\tsite\t\n";
  const AnnotationsRead parsed = ParseAnnotations(text);
  EXPECT_EQ(parsed.unreadLines, 2);
  const Annotations& back = parsed.annotations;
  ASSERT_EQ(back.runs.size(), a.runs.size());
  for (std::size_t i = 0; i < a.runs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(back.runs[i].key == a.runs[i].key);
    EXPECT_EQ(back.runs[i].site, a.runs[i].site);
    EXPECT_EQ(back.runs[i].note, a.runs[i].note);
    EXPECT_EQ(back.runs[i].excluded, a.runs[i].excluded);
    EXPECT_DOUBLE_EQ(back.runs[i].timeShift, a.runs[i].timeShift);
    EXPECT_EQ(back.activity[i].text, a.activity[i].text);
    EXPECT_NEAR(back.activity[i].at, a.activity[i].at, 1.0 / 86400);
  }
  ASSERT_EQ(back.instruments.size(), 2u);
  EXPECT_EQ(back.instruments[0].calibrationUncertainty, 7.5);
  EXPECT_FALSE(back.instruments[1].calibrationUncertainty);
  EXPECT_EQ(back.instruments[0].calibratedOn, a.instruments[0].calibratedOn);
  EXPECT_EQ(back.instruments[0].certificate, "PTB\t1");
  EXPECT_EQ(back.instruments[0].intervalMonths, 24);
  EXPECT_EQ(back.instruments[0].note, "sent back");
  EXPECT_FALSE(back.instruments[1].calibratedOn);
  ASSERT_EQ(back.files.size(), 1u);
  EXPECT_EQ(back.files[0].path, a.files[0].path);
}

}  // namespace
}  // namespace kestrum::testing
