// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: what the parser makes of it, and what the
// program answers when started with it.
#include <gtest/gtest.h>

#include <QProcess>
#include <optional>

#include "app/startup_options.h"

namespace {

using Action = StartupOptions::Action;

TEST(StartupOptionsTest, EachFormOfTheCommandLine) {
  const struct {
    QStringList arguments;
    std::optional<Action> action;  // none: refused
    std::vector<std::string> emulate;
    QString file;
    std::size_t faults = 0;
  } cases[] = {
      {{}, Action::kStart, {}, ""},
      {{"--emulate", "K8", "--emulate=K7:x.Rn@USB <-> Serial"},
       Action::kStart,
       {"K8", "K7:x.Rn@USB <-> Serial"},
       ""},
      {{"/data/cellar.Rn"}, Action::kStart, {}, "/data/cellar.Rn"},
      {{"--emulate", "K5", "cellar.Rn"}, Action::kStart, {"K5"}, "cellar.Rn"},
      {{"--help"}, Action::kHelp, {}, ""},
      {{"-h", "--bogus"}, Action::kHelp, {}, ""},
      {{"--version"}, Action::kVersion, {}, ""},
      {{"a.Rn", "b.Rn"}, std::nullopt, {}, ""},
      {{"--bogus"}, std::nullopt, {}, ""},
      {{"--emulate"}, std::nullopt, {}, ""},
      {{"--emulate", "K8", "--fault", "silent", "--fault=short=3"}, Action::kStart, {"K8"}, "", 2},
      {{"--fault", "silent"}, std::nullopt, {}, ""},
      {{"--emulate", "K8", "--fault", "loud"}, std::nullopt, {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const auto options = ParseStartupOptions(QStringList{"kestrum"} + c.arguments);
    ASSERT_EQ(options.ok(), c.action.has_value()) << options.error();
    if (!options) {
      EXPECT_FALSE(options.error().empty());
      continue;
    }
    EXPECT_EQ(options->action, *c.action);
    if (c.action != Action::kStart) continue;
    EXPECT_EQ(options->emulate, c.emulate);
    EXPECT_EQ(options->file, c.file.toStdString());
    EXPECT_EQ(options->faults.size(), c.faults);
  }
}

TEST(StartupOptionsTest, TheProgramAnswersHelpAndVersionAndRefusesWhatItDoesNotKnow) {
  // A glob gone wrong: thousands of words, of which the message names the first wrong one.
  QStringList manyFiles;
  QStringList manyOptions;
  for (int i = 0; i < 10000; ++i) {
    manyFiles << QStringLiteral("f%1.Rn").arg(i);
    manyOptions << QStringLiteral("--x%1").arg(i);
  }
  const struct {
    QStringList arguments;
    int exitCode;
    QStringList stdoutHas;
    QString stderrHas;
  } runs[] = {
      {{"--help"},
       0,
       {"Usage: kestrum [options] [FILE.Rn]", "--emulate <MODEL[:FILE.Rn][@DESCRIPTION]>",
        "K7:samples/k7-sample.Rn", "@USB <-> Serial Cable", "KESTRUM_PROTOCOL_LOG=FILE", "FILE.Rn"},
       ""},
      {{"--version"}, 0, {"kestrum 2.21\n"}, ""},
      {{"--frobnicate"}, 2, {}, "kestrum: Unknown option 'frobnicate'."},
      {{"one.Rn", "two.Rn"}, 2, {}, "one data file at most"},
      {manyFiles, 2, {}, "kestrum: one data file at most; \"f1.Rn\" is one too many (9998 more)"},
      {manyOptions, 2, {}, "kestrum: Unknown option 'x0'. (9999 more)"},
      {{"--emulate", "K9"}, 2, {}, "unknown model \"K9\""},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.arguments.mid(0, 3).join(' ').toStdString());
    QProcess program;
    program.start(KESTRUM_PROGRAM, run.arguments);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), run.exitCode);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    for (const QString& text : run.stdoutHas) EXPECT_TRUE(out.contains(text)) << out.toStdString();
    EXPECT_TRUE(err.contains(run.stderrHas)) << err.left(400).toStdString();
    EXPECT_LT(err.size(), 2000);
  }
}

// Without a display the application cannot start; wrong words must still be
// told as with one, not end in an abort.
TEST(StartupOptionsTest, WrongWordsAreToldWithoutADisplay) {
  const struct {
    QStringList arguments;
    int exitCode;
    QString stderrHas;
  } runs[] = {
      {{"--bogus"}, 2, "kestrum: Unknown option 'bogus'."},
      {{"-platform", "offscreen", "--bogus"}, 2, "kestrum: Unknown option 'bogus'."},
      {{"--style=fusion", "one.Rn", "two.Rn"}, 2, "one data file at most"},
      {{"--emulate", "K9"}, 2, "unknown model \"K9\""},
      {{"--version"}, 0, ""},
  };
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  for (const auto& run : runs) {
    SCOPED_TRACE(run.arguments.join(' ').toStdString());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(KESTRUM_PROGRAM, run.arguments);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), run.exitCode);
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_TRUE(err.contains(run.stderrHas)) << err.toStdString();
  }
}

}  // namespace
