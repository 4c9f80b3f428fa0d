// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol chooser: a profile taken from a file or refused with its
// word, a schedule refused without being used, and the choice remembered.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "app/assessment_chooser.h"

namespace {

TEST(AssessmentChooser, ProfilesSchedulesAndWhatIsRemembered) {
  QTemporaryDir dir;
  const std::string good = dir.filePath("good.txt").toStdString();
  const std::string bad = dir.filePath("bad.txt").toStdString();
  {
    std::ofstream out(good);
    for (int m = 1; m <= 12; ++m) out << m << (m == 1 ? " 3\n" : " 1\n");
    std::ofstream(bad) << "1 1\n2 1\n";
  }
  std::string asked = good;
  QStringList errors;
  ProfileSources sources;
  sources.askFile = [&]() -> std::optional<std::string> { return asked; };
  sources.showError = [&](const QString& e) { errors << e; };

  AssessmentChooser chooser(sources, nullptr);
  chooser.SetProtocol(kestrum::Protocol::kLongTerm);
  EXPECT_TRUE(chooser.Missing());
  int changed = 0;
  QObject::connect(&chooser, &AssessmentChooser::changed, [&changed] { ++changed; });
  chooser.ProfileFileButton->click();
  ASSERT_TRUE(chooser.Request().profile.has_value());
  EXPECT_FALSE(chooser.Missing());
  EXPECT_EQ(changed, 1);
  // Normalised to a mean of one: 3 and eleven 1s sum to 14.
  EXPECT_DOUBLE_EQ(chooser.Request().profile->factors[0], 3 * 12 / 14.0);

  asked = bad;
  chooser.ProfileFileButton->click();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("month 03")) << errors[0].toStdString();
  EXPECT_EQ(chooser.Request().profile->name, good);  // the good one stays

  // A second chooser (the next start) has the same protocol and profile.
  AssessmentChooser again(sources, nullptr);
  EXPECT_EQ(again.Request().protocol, kestrum::Protocol::kLongTerm);
  ASSERT_TRUE(again.Request().profile.has_value());
  EXPECT_EQ(again.Request().profile->name, good);

  again.SetProtocol(kestrum::Protocol::kWorkplace);
  again.HoursEdit->setText("Mon-Fry 08:00-18:00");
  emit again.HoursEdit->editingFinished();
  EXPECT_TRUE(again.Detail->text().contains("\"Mon-Fry\"")) << again.Detail->text().toStdString();
  EXPECT_EQ(again.Request().schedule->Text(), kestrum::kDefaultSchedule);
  again.HoursEdit->setText("Mon-Thu 07:30-16:30,Sat 09:00-12:00");
  emit again.HoursEdit->editingFinished();
  EXPECT_EQ(again.Request().schedule->Text(), "Mon-Thu 07:30-16:30,Sat 09:00-12:00");
  // The other window tests start from the default protocol.
  again.SetProtocol(kestrum::Protocol::kPeriod);
}

}  // namespace
