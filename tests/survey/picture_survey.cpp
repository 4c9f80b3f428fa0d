// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every picture the program makes of the sample files: each view of a
// run and of "All measurements", zoomed and not, as Bmp, Png, Svg and Pdf
// through Main > Save, and printed through Main > Print into a PDF. Run once
// on an older build and once on a newer one; compare_pictures.sh tells
// whether anything changed. Not a test of its own: its output is compared by hand.
//
//   picture_survey SOURCE_DIR OUT_DIR

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <memory>

#include "app/main_window.h"
#include "app/window_fakes.h"
#include "records/date_time.h"

namespace {

struct View {
  const char* name;
  void (TForm1::*handler)();
};

const View kViews[] = {{"pulses", &TForm1::PulseDistribution1Click},
                       {"pulses-mean", &TForm1::PulseDistributionandMean1Click},
                       {"pulses-mean-error", &TForm1::PulseDistributionMeanandmeanError1Click},
                       {"mean-error", &TForm1::MeanandmeanError1Click},
                       {"mean", &TForm1::Mean1Click}};

const struct {
  int filter;
  const char* extension;
} kPictures[] = {{2, "Bmp"}, {3, "Svg"}, {5, "Png"}, {6, "Pdf"}};

void Survey(const QString& source, const char* sample, const QDir& out) {
  auto store = std::make_unique<kestrum::MeasurementStore>();
  ScriptedPrompts prompts;
  ScriptedDialogs dialogs;
  WindowServices services;
  services.store = store.get();
  services.prompts = &prompts;
  services.dialogs = &dialogs;
  services.now = [] { return kestrum::EncodeDate(2030, 1, 1); };
  TForm1 window(services);
  window.show();
  QApplication::processEvents();
  window.OpenDataFileNamed(source + "/samples/" + sample);

  auto save = [&](const QString& stem) {
    for (const auto& picture : kPictures) {
      dialogs.saveAnswers.push_back(
          FileChoice{out.filePath(stem + "." + picture.extension), picture.filter});
      window.Save1Click();
    }
    dialogs.printAnswer = true;
    dialogs.printToFile = out.filePath(stem + ".print.pdf");
    window.Print1Click();
  };

  const int all = window.ComboBox3->count() - 1;
  for (int item : {0, all}) {
    window.ComboBox3->setCurrentIndex(item);
    window.ComboBox3Change();
    QApplication::processEvents();
    const QString run = QString("%1-%2").arg(sample).arg(item == all ? "all" : "run0");
    save(run + "-plain");
    window.Temperature->setChecked(true);
    window.Humidity->setChecked(true);
    window.Pressure->setChecked(true);
    for (const View& view : kViews) {
      // "All measurements" can only be shown as a pulse distribution.
      if (item == all && view.handler != &TForm1::PulseDistribution1Click) continue;
      (window.*view.handler)();
      QApplication::processEvents();
      save(run + "-" + view.name);
      const QRect plot = window.Chart1->axisRect()->rect();
      window.Chart1->ZoomToPixelRect(
          QRect(plot.left() + plot.width() / 3, plot.top(), plot.width() / 4, 2));
      QApplication::processEvents();
      save(run + "-" + view.name + "-zoomed");
    }
    window.Temperature->setChecked(false);
    window.Humidity->setChecked(false);
    window.Pressure->setChecked(false);
  }
  for (const QString& error : prompts.errors) std::fprintf(stderr, "%s\n", qPrintable(error));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: picture_survey SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[2]));
  QDir().mkpath(out.path());
  for (const char* sample : {"k7-sample.Rn", "k8-sample.Rn"}) {
    Survey(QString::fromLocal8Bit(argv[1]), sample, out);
  }
  return 0;
}
