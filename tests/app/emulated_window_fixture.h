// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main window with emulated instruments on the bus, its working files in a
// scratch folder and every wait taken in virtual time.

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "app/window_fixture.h"
#include "emulator/emulated_bus.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_wait.h"
#include "records/image_generator.h"

// Failures show the texts, not their bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

class EmulatedWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch.isValid());
    pcNow = kestrum::EncodeDate(2024, 3, 5) + kestrum::EncodeTime(14, 7, 9, 0);
    oldDirectory = QDir::currentPath();
    QDir::setCurrent(scratch.path());  // the download's copy files land here
    kestrum::ResetD2XXUnitState();
    kestrum::ResetInstrumentDetection();
    kestrum::SetFtDriver(&bus);
    kestrum::SetSleeper(bus.MakeSleeper());
  }

  void TearDown() override {
    window.reset();
    kestrum::SetFtDriver(nullptr);
    kestrum::SetSleeper({});
    QDir::setCurrent(oldDirectory);
  }

  // Two runs of 30 hours, started before the PC clock of the tests.
  std::shared_ptr<kestrum::EmulatedInstrument> Plug(kestrum::InstrumentModel model,
                                                    const std::string& serial,
                                                    const std::string& desc) {
    kestrum::GeneratorOptions memory;
    memory.model = model;
    memory.runs = 2;
    memory.hours = 30;
    memory.start = kestrum::EncodeDate(2024, 2, 1);
    auto instrument =
        std::make_shared<kestrum::EmulatedInstrument>(kestrum::EmulatedInstrumentConfig{
            model, desc, serial, kestrum::GenerateMemoryImage(memory)});
    bus.Plug(instrument);
    return instrument;
  }

  QTemporaryDir scratch;
  QString oldDirectory;
  kestrum::EmulatedBus bus{kestrum::TimeMode::kInstant};
};
