// SPDX-License-Identifier: GPL-3.0-or-later
// A K8 memory read through our driver and the real libftdi1 over the
// simulated FT232R at 230,400 baud, the window busy for 15 ms at every
// progress step. Figures: bytes lost (must be 0) and the read's duration on
// the simulator's clock as a multiple of the line time (must be <= 1.01).

#include <benchmark/benchmark.h>

#include <memory>
#include <thread>

#include "link/d2xx_unit.h"
#include "link/ftdi_receiver.h"
#include "link/libftdi_driver.h"
#include "link/port_wait.h"
#include "link/usb_sim/usb_simulator.h"
#include "records/image_generator.h"

namespace kestrum {
namespace {

constexpr std::uint32_t kMemory = 131072;
constexpr double kLineTimeNs = kMemory * 10.0 / 230400.0 * 1e9;

void BM_K8ReadThroughBusyWindow(benchmark::State& state) {
  usbsim::UsbSimulator& sim = usbsim::UsbSimulator::Instance();
  double lost = 0;
  double multiple = 0;
  for (auto _ : state) {
    sim.Reset();
    ResetD2XXUnitState();
    EmulatedInstrumentConfig config;
    config.model = InstrumentModel::K8;
    config.serial = "FTBENCH8";
    GeneratorOptions options;
    options.model = InstrumentModel::K8;
    config.memory = GenerateMemoryImage(options);
    usbsim::SimulatedDevice& device = usbsim::PlugInstrument(usbsim::kFT232R, config, {2});
    // No sysfs: the converter is found by its USB strings.
    LibFtdiDriver driver(UsbPaths{"/nonexistent", "/nonexistent"});
    SetFtDriver(&driver);
    SetSleeper([&sim](int milliseconds) { sim.Sleep(milliseconds); });
    sim.SetProgramThread(std::this_thread::get_id());
    SetReceiverWaitObserver([&sim](bool waiting) { sim.SetProgramWaiting(waiting); });
    SetReadProgressHook([&sim](std::uint32_t, std::uint32_t) {
      sim.Sleep(15);
      return true;
    });

    Open_USB_Device_By_Serial_Number(config.serial);
    FTBaudRate = 230400;
    SetFTBaudRate();
    FTOutBuffer[0] = 0xA3;
    FTOutBuffer[1] = 0x4D;
    FTOutBuffer[2] = 0x0A;
    WriteFTDevice(3);
    const std::int64_t start = sim.NowNs();
    const std::uint32_t received = ReadFTDevice(kMemory);
    const std::int64_t end = sim.NowNs();
    CloseFTDevice();

    lost = static_cast<double>(kMemory - received + sim.BytesDropped(device));
    multiple = static_cast<double>(end - start) / kLineTimeNs;
    SetReadProgressHook({});
    SetReceiverWaitObserver({});
    SetSleeper({});
    SetFtDriver(nullptr);
  }
  state.counters["bytes_lost"] = lost;
  state.counters["line_time_multiple"] = multiple;
}
BENCHMARK(BM_K8ReadThroughBusyWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kestrum
