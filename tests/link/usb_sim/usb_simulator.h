// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The USB side of the simulated converters: the devices on the bus, the
// libusb objects handed out for them, the transfers in flight and one
// virtual clock. The libusb functions in fake_libusb.cpp call into it, so
// the real libftdi1 and our driver run unchanged on top.
//
// Time is virtual and moves only while some thread needs it to: a thread
// waiting for its bulk IN transfer, a sleep through the wait seam, or a
// control request that is given a cost. A thread that moves the clock
// serves every transfer in flight on the way. When the receive FIFO is full
// and the thread that reads the device has not put its next transfer in
// flight yet, the clock waits (in real time, briefly) for it: a reader that
// keeps a transfer in flight loses nothing, one that stops reading does.

#include <libusb.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/usb_sim/simulated_ftdi_chip.h"

namespace kestrum::usbsim {

struct VendorRequestRecord {
  std::uint8_t request_type;
  std::uint8_t request;
  std::uint16_t value;
  std::uint16_t index;
};

// Objects handed out and not yet given back.
struct UsbResources {
  int contexts = 0;
  int open_handles = 0;
  int device_references = 0;
  int config_descriptors = 0;
  int transfers = 0;
};

struct SimulatedDevice {
  SimulatedDevice(ChipKind kind, std::shared_ptr<EmulatedInstrument> instrument)
      : chip(kind, std::move(instrument)) {}

  SimulatedFtdiChip chip;
  std::string manufacturer = "FTDI";
  std::string product;
  std::string serial;
  std::uint8_t bus = 1;
  std::vector<std::uint8_t> ports;
  std::uint8_t address = 2;
  bool plugged = true;
  bool kernel_driver_bound = true;
  bool access_refused = false;
  bool stall_in = false;
  // Data bytes the host has been sent; unplug once it reaches the limit.
  std::uint64_t sent_to_host = 0;
  std::uint64_t unplug_after_host_bytes = 0;  // 0: never
  int open_count = 0;
  // The thread that last put a bulk IN transfer in flight, and whether it
  // failed to come back in time once.
  std::thread::id reader;
  bool reader_gone = false;
};

struct PendingTransfer;

class UsbSimulator {
 public:
  static UsbSimulator& Instance();

  // Back to an empty bus at time 0 (between tests; nothing may be open).
  void Reset();
  SimulatedDevice& Plug(ChipKind kind, std::shared_ptr<EmulatedInstrument> instrument,
                        std::vector<std::uint8_t> ports);
  void Unplug(SimulatedDevice& device);
  // The next byte from the line is lost as if the FIFO had been full.
  void ForceOverrun(SimulatedDevice& device);
  std::uint64_t BytesDropped(SimulatedDevice& device);
  bool KernelDriverBound(SimulatedDevice& device);

  std::int64_t NowNs();
  // The wait seam: moves the clock, serving transfers on the way.
  void Sleep(int milliseconds);
  // With a program thread named, other threads (the driver's receiver) may
  // move the clock only while the program thread says it waits on them;
  // else time would run on while the program is merely busy.
  void SetProgramThread(std::thread::id thread);
  void SetProgramWaiting(bool waiting);
  // Virtual time every control request takes (USB strings included).
  void SetControlCostMs(int milliseconds);
  std::vector<VendorRequestRecord> VendorRequests();
  int StringRequests();
  int DeviceOpens();
  UsbResources Resources();

  // libusb, as fake_libusb.cpp passes it on.
  int Init(libusb_context** context);
  void Exit(libusb_context* context);
  ssize_t DeviceList(libusb_context* context, libusb_device*** list);
  void FreeDeviceList(libusb_device** list, int unref);
  libusb_device* Ref(libusb_device* device);
  void Unref(libusb_device* device);
  int DeviceDescriptor(libusb_device* device, libusb_device_descriptor* descriptor);
  int ConfigDescriptor(libusb_device* device, libusb_config_descriptor** config);
  void FreeConfigDescriptor(libusb_config_descriptor* config);
  std::uint8_t BusNumber(libusb_device* device);
  std::uint8_t Address(libusb_device* device);
  int PortNumbers(libusb_device* device, std::uint8_t* ports, int length);
  int Open(libusb_device* device, libusb_device_handle** handle);
  void Close(libusb_device_handle* handle);
  int Configuration(libusb_device_handle* handle, int* config);
  int SetConfiguration(libusb_device_handle* handle, int config);
  int ClaimInterface(libusb_device_handle* handle, int interface);
  int ReleaseInterface(libusb_device_handle* handle, int interface);
  int KernelDriverActive(libusb_device_handle* handle);
  int DetachKernelDriver(libusb_device_handle* handle);
  int AttachKernelDriver(libusb_device_handle* handle);
  int SetAutoDetach(libusb_device_handle* handle, int enable);
  int ControlTransfer(libusb_device_handle* handle, std::uint8_t request_type, std::uint8_t request,
                      std::uint16_t value, std::uint16_t index, unsigned char* data,
                      std::uint16_t length);
  int StringAscii(libusb_device_handle* handle, std::uint8_t index, unsigned char* data,
                  int length);
  int BulkTransfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                   int length, int* transferred, unsigned int timeout_ms);
  libusb_transfer* AllocTransfer();
  void FreeTransfer(libusb_transfer* transfer);
  int Submit(libusb_transfer* transfer);
  int Cancel(libusb_transfer* transfer);
  int HandleEvents(libusb_context* context, const timeval* timeout, int* completed);

 private:
  UsbSimulator() = default;
  ~UsbSimulator();
  // Null once the device was unplugged or the handle closed.
  SimulatedDevice* Live(libusb_device_handle* handle);
  bool HasPendingIn(const SimulatedDevice& device) const;
  // Moves the clock to `target`, or until `done` holds. The caller holds
  // the lock and is the one thread moving the clock.
  template <typename Done>
  void AdvanceUntil(std::unique_lock<std::mutex>& lock, std::int64_t target, Done done);
  void WaitToAdvance(std::unique_lock<std::mutex>& lock);
  void EndAdvance();
  void Advance(std::unique_lock<std::mutex>& lock, std::int64_t target);
  void ServeIn(SimulatedDevice& device, std::int64_t now);
  void CompleteAll(SimulatedDevice& device, int status);
  void CheckUnplug(SimulatedDevice& device);
  bool ReaderMayComeBack(const SimulatedDevice& device);
  bool MayMoveClock() const;
  void ChargeControl(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t now_ = 0;
  bool advancing_ = false;
  std::thread::id program_thread_;
  bool program_waiting_ = false;
  int control_cost_ms_ = 0;
  std::vector<std::unique_ptr<SimulatedDevice>> devices_;
  std::vector<std::unique_ptr<libusb_context>> contexts_;
  std::vector<std::unique_ptr<libusb_device>> device_objects_;
  std::vector<std::unique_ptr<libusb_device_handle>> handles_;
  std::vector<VendorRequestRecord> requests_;
  int string_requests_ = 0;
  int device_opens_ = 0;
  UsbResources resources_;
  std::deque<PendingTransfer*> pending_;  // bulk IN in flight, in order of submission
  std::deque<PendingTransfer*> finished_async_;
  std::vector<std::unique_ptr<PendingTransfer>> async_records_;
};

// Plugs the instrument `config` describes behind a chip of `kind` on hub
// port chain `ports`; its converter reports the config's description and serial.
SimulatedDevice& PlugInstrument(ChipKind kind, const EmulatedInstrumentConfig& config,
                                std::vector<std::uint8_t> ports);

}  // namespace kestrum::usbsim
