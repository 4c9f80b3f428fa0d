// SPDX-License-Identifier: GPL-3.0-or-later
// The chart views: a run's pulse distribution, interval means, the View
// menu, the footer line, title editing, picture export and printing.
#include <QPrinter>

#include "app/main_window.h"
#include "app/save_filters.h"
#include "views/gui/chart_export.h"
#include "views/gui/chart_printing.h"
#include "views/gui/chart_view_filling.h"
#include "views/interval_table.h"
#include "views/mean_fallback.h"
#include "views/mean_pressure_line.h"
#include "views/model_channels.h"
#include "views/pulse_distribution.h"

kestrum::ModelChannels TForm1::ChannelsShown() const {
  kestrum::ModelChannels shown;
  const auto model = kestrum::ModelFromMarker(store_->MemoryImage[0]);
  if (!model) return shown;
  // A line for a channel the model lacks would show stale numbers.
  const kestrum::ModelChannels present = kestrum::ChannelsOf(*model);
  shown.temperature = present.temperature && Temperature->isChecked();
  shown.humidity = present.humidity && Humidity->isChecked();
  shown.pressure = present.pressure && Pressure->isChecked();
  return shown;
}

void TForm1::CheckViewEntry(QAction* entry) {
  for (QAction* view : {PulseDistribution1, PulseDistributionandMean1,
                        PulseDistributionMeanandmeanError1, MeanandmeanError1, Mean1}) {
    view->setChecked(view == entry);
  }
}

void TForm1::ClearViewSeries() {
  Chart1->MeanLine().Clear();
  Chart1->MeanErrorBars().Clear();
  Chart1->PulseBars().Clear();
  Chart1->TemperatureLine().Clear();
  Chart1->HumidityLine().Clear();
}

void TForm1::ClearChart() {
  Chart1->hide();
  ClearViewSeries();
  Chart1->PressureLine().Clear();
  Chart1->ClearFooter();
}

void TForm1::ShowPulseDistribution(std::uint8_t run) {
  Chart1->UndoZoom();
  Chart1->SetLeftAxisTitle("Bq/m3");
  Chart1->SetBottomAxisTitle("Time");
  const kestrum::ModelChannels channels = ChannelsShown();
  kestrum::FillPulseDistributionSeries(
      *Chart1, kestrum::ComputePulseDistribution(
                   Store(), run, {channels.temperature, channels.humidity, channels.pressure}));
}

void TForm1::PulseDistError_CheckBoxClick() {
  if (PulseDistError_CheckBox->isChecked()) {
    ShowPulseDistribution(SelectedRun);
  } else {
    Chart1->PulseBars().Clear();
  }
}

void TForm1::MeanError_CheckBoxClick() {
  // The flag only counts the next time the means are drawn.
}

void TForm1::ComboBox3Change() {
  const int chosen = ComboBox3->currentIndex();
  if (chosen < 0) return;  // no run named: nothing to draw
  View1->setEnabled(chosen != ComboBox3->count() - 1);
  ComboBox2->setEnabled(false);
  CheckViewEntry(PulseDistribution1);
  PulseDistError_CheckBox->setChecked(false);
  PulseDistError_CheckBox->setChecked(true);
  Chart1->SetTitleLines({"Measurements"});
  ClearViewSeries();
  Chart1->show();
  Chart1->UndoZoom();
  SelectedRun = static_cast<std::uint8_t>(chosen);
  PulseDistError_CheckBox->setChecked(true);
  ShowPulseDistribution(SelectedRun);
  Chart1->Refresh();
  Meanonchart1Click();
}

void TForm1::ComboBox2Change() {
  Chart1->ClearTitle();
  const int item = ComboBox2->currentIndex();
  if (item < 0 || item >= kestrum::kIntervalItemCount) return;

  const kestrum::ModelChannels channels = ChannelsShown();
  const kestrum::MeanFallbackResult means = kestrum::ComputeMeansWithFallback(
      Store(), SelectedRun, item,
      {MeanError_CheckBox->isChecked(), channels.temperature, channels.humidity});
  if (means.fallbackMessages > 0) StatusBar1->SetText(1, kestrum::kMeanTooLongMessage);
  ComboBox2->setCurrentIndex(means.itemIndex);
  Chart1->SetTitleLines({QString::fromUtf8(kestrum::IntervalTitleLine(means.itemIndex).data())});
  Chart1->SetLeftAxisTitle("Bq/m3");
  Chart1->SetBottomAxisTitle("Time");
  kestrum::FillIntervalMeanSeries(*Chart1, means.series);
  // A pulse view draws its own pressure line over the whole run.
  if (MeanandmeanError1->isChecked() || Mean1->isChecked()) DrawMeanPressureLine();
}

void TForm1::ChooseDefaultInterval(int item) {
  if (ComboBox2->currentIndex() < 0) ComboBox2->setCurrentIndex(item);
}

void TForm1::DrawMeanPressureLine() {
  // The mean-only views show pressure along the samples they draw, like the
  // pulse views do, instead of leaving an earlier view's line behind.
  if (!ChannelsShown().pressure) {
    Chart1->PressureLine().Clear();
    return;
  }
  Chart1->PressureLine().SetPoints(kestrum::ComputeMeanPressureLine(
      Store(), SelectedRun, kestrum::IntervalSamples(ComboBox2->currentIndex())));
}

void TForm1::PulseDistribution1Click() {
  CheckViewEntry(PulseDistribution1);
  ComboBox2->setEnabled(false);
  PulseDistError_CheckBox->setChecked(false);
  PulseDistError_CheckBox->setChecked(true);
  ClearViewSeries();
  Chart1->SetTitleLines({"Measurements"});
  ShowPulseDistribution(SelectedRun);
  Meanonchart1Click();
}

void TForm1::PulseDistributionandMean1Click() {
  CheckViewEntry(PulseDistributionandMean1);
  ComboBox2->setEnabled(true);
  MeanError_CheckBox->setChecked(false);
  if (ComboBox3->currentIndex() >= 0) {
    SelectedRun = static_cast<std::uint8_t>(ComboBox3->currentIndex());
  }
  ChooseDefaultInterval(1);
  ComboBox2Change();
  ShowPulseDistribution(SelectedRun);
}

void TForm1::PulseDistributionMeanandmeanError1Click() {
  CheckViewEntry(PulseDistributionMeanandmeanError1);
  ComboBox2->setEnabled(true);
  ClearViewSeries();
  ChooseDefaultInterval(0);
  MeanError_CheckBox->setChecked(true);
  ShowPulseDistribution(SelectedRun);
  ComboBox2Change();
  Meanonchart1Click();
}

void TForm1::MeanandmeanError1Click() {
  CheckViewEntry(MeanandmeanError1);
  ComboBox2->setEnabled(true);
  ClearViewSeries();
  ChooseDefaultInterval(0);
  MeanError_CheckBox->setChecked(true);
  ComboBox2Change();
  Meanonchart1Click();
}

void TForm1::Mean1Click() {
  CheckViewEntry(Mean1);
  ComboBox2->setEnabled(true);
  ClearViewSeries();
  ChooseDefaultInterval(0);
  MeanError_CheckBox->setChecked(false);
  ComboBox2Change();
  Meanonchart1Click();
}

void TForm1::RedrawCheckedView() {
  if (PulseDistribution1->isChecked()) {
    PulseDistribution1Click();
  } else if (PulseDistributionandMean1->isChecked()) {
    PulseDistributionandMean1Click();
  } else if (PulseDistributionMeanandmeanError1->isChecked()) {
    PulseDistributionMeanandmeanError1Click();
  } else if (MeanandmeanError1->isChecked()) {
    MeanandmeanError1Click();
  } else if (Mean1->isChecked()) {
    Mean1Click();
  }
}

void TForm1::TemperatureClick() {
  Temperature->setChecked(!Temperature->isChecked());
  RedrawCheckedView();
}

void TForm1::HumidityClick() {
  Humidity->setChecked(!Humidity->isChecked());
  RedrawCheckedView();
}

void TForm1::PressureClick() {
  Pressure->setChecked(!Pressure->isChecked());
  RedrawCheckedView();
}

void TForm1::Meanonchart1Click() {
  kestrum::WriteFooterLine(*Chart1, Store(), kestrum::SystemDateTimeFormats());
  RefreshChartAdditions();
}

void TForm1::Chart1DblClick() {
  Chart1->StartTitleEdit();
}

void TForm1::titleClick() {
  Chart1->FinishTitleEdit();
}

kestrum::Result<> TForm1::ExportChart(const QString& path, int filterIndex) {
  if (Chart1->isHidden()) return kestrum::Fail(kNoChartShownMessage);
  kestrum::ChartPictureFormat format;
  // Data file and text are no pictures: they end as an unknown type here.
  switch (kestrum::SaveKindOf(filterIndex).value_or(kestrum::SaveKind::kDataFile)) {
    case kestrum::SaveKind::kBitmap:
      format = kestrum::ChartPictureFormat::Bmp;
      break;
    case kestrum::SaveKind::kVector:
      format = kestrum::ChartPictureFormat::Svg;
      break;
    case kestrum::SaveKind::kPng:
      format = kestrum::ChartPictureFormat::Png;
      break;
    case kestrum::SaveKind::kPdf:
      format = kestrum::ChartPictureFormat::Pdf;
      break;
    default:
      return kestrum::Fail("unknown file type");
  }
  return kestrum::SaveChartPicture(*Chart1, path, format);
}

void TForm1::Print1Click() {
  if (Chart1->isHidden()) {
    Prompts().ShowError(kNoChartShownMessage);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  if (!Dialogs().AskPrint(printer)) return;
  const kestrum::Result<> printed = kestrum::PrintChart(*Chart1, printer);
  if (!printed) Prompts().ShowError(QString::fromStdString(printed.error()));
}
