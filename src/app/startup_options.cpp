// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_options.h"

#include <QCommandLineParser>
#include <QFile>
#include <set>

#include "app/protocol_log.h"
#include "emulator/emulator_argument.h"

namespace {

constexpr char kUsageLine[] = "Usage: kestrum [options] [FILE.Rn]";

QString MoreHelp() {
  return QString(
             "\n"
             "Emulated instruments (--emulate, repeatable, in the listing order):\n"
             "  --emulate K8                          a K8 with generated measurements\n"
             "  --emulate K7:samples/k7-sample.Rn     a K7 whose memory is that data file\n"
             "  --emulate 'K5@USB <-> Serial Cable'   a K5 behind a converter of that "
             "description\n"
             "MODEL is K5, K6, K7 or K8. Without '@' the description is \"USB <-> K8\" for a K8\n"
             "and \"USB <-> K5\" for the others. With --emulate the menu bar ends with an\n"
             "Emulation menu: unplug and plug in the instruments, a fault for the next reply,\n"
             "and the memory they started with. --fault plans faults of the first emulated\n"
             "instrument from the start, taking its replies in turn.\n"
             "\n"
             "Environment:\n"
             "  %1=FILE  appends every exchange with the instrument to FILE,\n"
             "  one line per port call; send it with a problem report.\n"
             "\n"
             "Exit codes: 0 normal end; 2 wrong usage or an --emulate argument that cannot be "
             "used.\n")
      .arg(kProtocolLogVariable);
}

// The usage line names the program, whatever path it was started by.
QString HelpText(const QCommandLineParser& parser) {
  QString text = parser.helpText();
  text.replace(0, text.indexOf('\n'), kUsageLine);
  return text + MoreHelp();
}

// The parser sees each byte of a word as one character, so every word comes
// back exactly as given (see ParseStartupOptions).
QString ParserText(const std::string& word) {
  return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

std::string WordBytes(const QString& text) {
  return text.toLatin1().toStdString();
}

kestrum::Failure Failed(const QString& problem) {
  return kestrum::Fail(WordBytes(problem));
}

}  // namespace

kestrum::Result<StartupOptions> ParseStartupOptions(const std::vector<std::string>& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "The PC program of the Kestrum radon monitor: downloads, charts, saves and prints its\n"
      "measurements, sets its clock and alarm level and erases it.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const QCommandLineOption version({"v", "version"}, "Shows the program's version.");
  const QCommandLineOption emulate(
      "emulate", "Attaches an emulated instrument instead of the USB bus (forms below).",
      "MODEL[:FILE.Rn][@DESCRIPTION]");
  const QCommandLineOption fault("fault", kestrum::kFaultOptionDescription, "KIND");
  const QCommandLineOption workDir(
      "work-dir",
      "Writes the working files (k5dat.tmp, debug.tmp, the download's copies K5C.tmp ... "
      "K84E.csv) into DIR instead of the current folder.",
      "DIR");
  const QCommandLineOption dataWorkDir(
      "data-work-dir",
      "Writes them into the folder \"work\" of the program's data folder "
      "(~/.local/share/kestrum/work); the desktop entry starts the program so.");
  parser.addOptions({help, version, emulate, fault, workDir, dataWorkDir});
  parser.addPositionalArgument(
      "FILE.Rn", "A data file to open after start-up, as Main > Open does.", "[FILE.Rn]");

  StartupOptions options;
  QStringList words;
  for (const std::string& word : arguments) words << ParserText(word);
  const bool understood = parser.parse(words);
  if (parser.isSet(help)) {
    options.action = StartupOptions::Action::kHelp;
    options.text = HelpText(parser);
    return options;
  }
  if (parser.isSet(version)) {
    options.action = StartupOptions::Action::kVersion;
    options.text = QString("kestrum %1\n").arg(kProgramVersion);
    return options;
  }
  if (!understood) {
    // Only the first wrong word: a glob gone wrong can give thousands.
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty()) return Failed(parser.errorText());
    QString text = QStringLiteral("Unknown option '%1'.").arg(unknown.first());
    if (unknown.size() > 1) text += QStringLiteral(" (%1 more)").arg(unknown.size() - 1);
    return Failed(text);
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    QString text = QStringLiteral("one data file at most; \"%1\" is one too many").arg(files[1]);
    if (files.size() > 2) text += QStringLiteral(" (%1 more)").arg(files.size() - 2);
    return Failed(text);
  }
  if (!files.isEmpty()) options.file = WordBytes(files[0]);
  if (parser.isSet(workDir)) {
    options.workDir = WordBytes(parser.value(workDir));
    if (options.workDir.empty()) return Failed("--work-dir wants a folder");
  }
  options.dataWorkDir = parser.isSet(dataWorkDir);
  if (options.dataWorkDir && !options.workDir.empty()) {
    return Failed("--work-dir and --data-work-dir name two folders; give one");
  }
  for (const QString& value : parser.values(emulate)) {
    // Judged here already, so that a wrong one is told without a display.
    const kestrum::Result<kestrum::EmulatorArgument> wanted =
        kestrum::ParseEmulatorArgument(WordBytes(value));
    if (!wanted) return wanted.failure();
    options.emulate.push_back(WordBytes(value));
  }
  for (const QString& value : parser.values(fault)) {
    const kestrum::Result<kestrum::FaultOption> planned =
        kestrum::ParseFaultOption(WordBytes(value));
    if (!planned) return planned.failure();
    options.faults.push_back(planned.value());
  }
  if (!options.faults.empty() && options.emulate.empty()) {
    return Failed("--fault needs an emulated instrument (--emulate)");
  }
  return options;
}

kestrum::Result<StartupOptions> ParseStartupOptions(const QStringList& arguments) {
  std::vector<std::string> words;
  for (const QString& word : arguments) words.push_back(QFile::encodeName(word).toStdString());
  return ParseStartupOptions(words);
}

std::vector<std::string> WithoutQtOptions(const std::vector<std::string>& arguments) {
  // QGuiApplication's and QApplication's own options, as their documentation lists them.
  static const std::set<std::string> withValue = {"platform",
                                                  "platformpluginpath",
                                                  "platformtheme",
                                                  "plugin",
                                                  "qwindowgeometry",
                                                  "qwindowicon",
                                                  "qwindowtitle",
                                                  "display",
                                                  "geometry",
                                                  "style",
                                                  "stylesheet",
                                                  "session",
                                                  "title",
                                                  "name",
                                                  "visual",
                                                  "ncols",
                                                  "cmap",
                                                  "im"};
  static const std::set<std::string> alone = {"reverse", "widgetcount", "nograb",
                                              "dograb",  "sync",        "testability"};
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (i == 0 || word.size() < 2 || word[0] != '-' || word == "--") {
      kept.push_back(word);
      if (word == "--") kept.insert(kept.end(), arguments.begin() + i + 1, arguments.end());
      if (word == "--") break;
      continue;
    }
    std::string name = word.substr(word[1] == '-' ? 2 : 1);
    const std::size_t equals = name.find('=');
    const bool valueAttached = equals != std::string::npos;
    if (valueAttached) name.resize(equals);
    if (name.rfind("qmljsdebugger", 0) == 0) continue;
    if (withValue.count(name)) {
      if (!valueAttached) ++i;  // and its value
      continue;
    }
    if (alone.count(name) && !valueAttached) continue;
    kept.push_back(word);
  }
  return kept;
}
