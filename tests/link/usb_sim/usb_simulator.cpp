// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/usb_sim/usb_simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

// The libusb objects, which libusb.h leaves opaque.
struct libusb_context {
  bool alive = true;
};
struct libusb_device {
  libusb_context* context;
  kestrum::usbsim::SimulatedDevice* sim;
  int references = 0;
};
struct libusb_device_handle {
  libusb_device* device;
  bool open = true;
  bool claimed = false;
  bool auto_detach = false;
  bool detached_on_claim = false;
};

namespace kestrum::usbsim {

struct PendingTransfer {
  libusb_device_handle* handle = nullptr;
  unsigned char* buffer = nullptr;
  int length = 0;
  int actual = 0;
  bool done = false;
  int status = 0;  // a libusb error code; async: a libusb_transfer_status
  std::int64_t deadline = kNever;
  libusb_transfer* async = nullptr;
};

namespace {

// How long, in real time, a full FIFO waits for its reader's next transfer.
constexpr auto kReaderGrace = std::chrono::seconds(2);

std::int64_t TimeoutDeadline(std::int64_t now, unsigned int timeout_ms) {
  return timeout_ms == 0 ? kNever : now + static_cast<std::int64_t>(timeout_ms) * kNsPerMs;
}

}  // namespace

UsbSimulator& UsbSimulator::Instance() {
  static UsbSimulator simulator;
  return simulator;
}

UsbSimulator::~UsbSimulator() = default;

void UsbSimulator::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  now_ = 0;
  control_cost_ms_ = 0;
  program_thread_ = std::thread::id();
  program_waiting_ = false;
  devices_.clear();
  contexts_.clear();
  device_objects_.clear();
  handles_.clear();
  requests_.clear();
  string_requests_ = 0;
  device_opens_ = 0;
  resources_ = {};
  pending_.clear();
  finished_async_.clear();
  async_records_.clear();
}

SimulatedDevice& UsbSimulator::Plug(ChipKind kind, std::shared_ptr<EmulatedInstrument> instrument,
                                    std::vector<std::uint8_t> ports) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto device = std::make_unique<SimulatedDevice>(kind, std::move(instrument));
  device->ports = std::move(ports);
  device->address = static_cast<std::uint8_t>(2 + devices_.size());
  devices_.push_back(std::move(device));
  return *devices_.back();
}

void UsbSimulator::Unplug(SimulatedDevice& device) {
  std::lock_guard<std::mutex> lock(mutex_);
  device.plugged = false;
  CompleteAll(device, LIBUSB_ERROR_NO_DEVICE);
  changed_.notify_all();
}

void UsbSimulator::ForceOverrun(SimulatedDevice& device) {
  std::lock_guard<std::mutex> lock(mutex_);
  device.chip.ForceOverrun();
}

std::uint64_t UsbSimulator::BytesDropped(SimulatedDevice& device) {
  std::lock_guard<std::mutex> lock(mutex_);
  return device.chip.BytesDropped();
}

bool UsbSimulator::KernelDriverBound(SimulatedDevice& device) {
  std::lock_guard<std::mutex> lock(mutex_);
  return device.kernel_driver_bound;
}

std::int64_t UsbSimulator::NowNs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}

void UsbSimulator::Sleep(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  WaitToAdvance(lock);
  Advance(lock, now_ + milliseconds * kNsPerMs);
  EndAdvance();
}

void UsbSimulator::SetProgramThread(std::thread::id thread) {
  std::lock_guard<std::mutex> lock(mutex_);
  program_thread_ = thread;
  program_waiting_ = false;
}

void UsbSimulator::SetProgramWaiting(bool waiting) {
  std::lock_guard<std::mutex> lock(mutex_);
  program_waiting_ = waiting;
  changed_.notify_all();
}

bool UsbSimulator::MayMoveClock() const {
  return program_thread_ == std::thread::id() || program_thread_ == std::this_thread::get_id() ||
         program_waiting_;
}

void UsbSimulator::SetControlCostMs(int milliseconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  control_cost_ms_ = milliseconds;
}

std::vector<VendorRequestRecord> UsbSimulator::VendorRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

int UsbSimulator::StringRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return string_requests_;
}

int UsbSimulator::DeviceOpens() {
  std::lock_guard<std::mutex> lock(mutex_);
  return device_opens_;
}

UsbResources UsbSimulator::Resources() {
  std::lock_guard<std::mutex> lock(mutex_);
  return resources_;
}

// ---- the clock ----

void UsbSimulator::WaitToAdvance(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return !advancing_; });
  advancing_ = true;
}

void UsbSimulator::EndAdvance() {
  advancing_ = false;
  changed_.notify_all();
}

bool UsbSimulator::HasPendingIn(const SimulatedDevice& device) const {
  return std::any_of(pending_.begin(), pending_.end(), [&device](const PendingTransfer* t) {
    return t->handle->device->sim == &device;
  });
}

bool UsbSimulator::ReaderMayComeBack(const SimulatedDevice& device) {
  const bool open = std::any_of(handles_.begin(), handles_.end(), [&device](const auto& h) {
    return h->open && h->device->sim == &device;
  });
  // A reader not seen yet (a thread just started at open) may still come.
  return open && !device.reader_gone && device.reader != std::this_thread::get_id();
}

void UsbSimulator::Advance(std::unique_lock<std::mutex>& lock, std::int64_t target) {
  AdvanceUntil(lock, target, [] { return false; });
}

template <typename Done>
void UsbSimulator::AdvanceUntil(std::unique_lock<std::mutex>& lock, std::int64_t target,
                                Done done) {
  enum class Event { kNone, kPacket, kDeadline, kUnplug, kToInstrument, kToFifo };
  while (!done()) {
    std::int64_t when = kNever;
    Event event = Event::kNone;
    SimulatedDevice* at = nullptr;
    PendingTransfer* expiring = nullptr;
    // At equal times the host's fetch comes first, then the line.
    auto consider = [&](std::int64_t time, Event kind, SimulatedDevice* device) {
      if (time < when) {
        when = time;
        event = kind;
        at = device;
      }
    };
    for (const auto& device : devices_) {
      if (!device->plugged) continue;
      if (HasPendingIn(*device))
        consider(device->chip.PacketDue(now_), Event::kPacket, device.get());
      if (device->chip.UnplugAt()) consider(*device->chip.UnplugAt(), Event::kUnplug, device.get());
      consider(device->chip.NextToInstrument(), Event::kToInstrument, device.get());
      consider(device->chip.NextToFifo(), Event::kToFifo, device.get());
    }
    for (PendingTransfer* transfer : pending_) {
      if (transfer->deadline < when) {
        when = transfer->deadline;
        event = Event::kDeadline;
        expiring = transfer;
      }
    }
    if (event == Event::kNone || when > target) {
      now_ = std::max(now_, target == kNever ? now_ : target);
      return;
    }
    now_ = std::max(now_, when);
    switch (event) {
      case Event::kPacket:
        ServeIn(*at, now_);
        break;
      case Event::kDeadline:
        pending_.erase(std::find(pending_.begin(), pending_.end(), expiring));
        expiring->status = expiring->async ? static_cast<int>(LIBUSB_TRANSFER_TIMED_OUT)
                                           : static_cast<int>(LIBUSB_ERROR_TIMEOUT);
        expiring->done = true;
        if (expiring->async) finished_async_.push_back(expiring);
        changed_.notify_all();
        break;
      case Event::kUnplug:
        at->plugged = false;
        CompleteAll(*at, LIBUSB_ERROR_NO_DEVICE);
        break;
      case Event::kToInstrument:
        at->chip.DeliverToInstrument();
        break;
      case Event::kToFifo:
        if (at->chip.FifoFull() && !HasPendingIn(*at) && ReaderMayComeBack(*at)) {
          SimulatedDevice* device = at;
          const bool back = changed_.wait_for(lock, kReaderGrace, [this, device] {
            return HasPendingIn(*device) || !device->plugged;
          });
          if (!back) device->reader_gone = true;
          break;
        }
        at->chip.ArriveAtFifo();
        break;
      case Event::kNone:
        break;
    }
  }
}

void UsbSimulator::ServeIn(SimulatedDevice& device, std::int64_t now) {
  auto found = std::find_if(pending_.begin(), pending_.end(), [&device](const PendingTransfer* t) {
    return t->handle->device->sim == &device;
  });
  PendingTransfer* transfer = *found;
  std::vector<std::uint8_t> packet = device.chip.TakePacket(now);
  bool unplug = false;
  if (device.unplug_after_host_bytes != 0) {
    const std::uint64_t room = device.unplug_after_host_bytes - device.sent_to_host;
    if (packet.size() - 2 >= room) {
      packet.resize(2 + room);
      unplug = true;
    }
  }
  device.sent_to_host += packet.size() - 2;
  const int room = transfer->length - transfer->actual;
  const int n = std::min(room, static_cast<int>(packet.size()));
  std::memcpy(transfer->buffer + transfer->actual, packet.data(), static_cast<std::size_t>(n));
  transfer->actual += n;
  const bool short_packet = packet.size() < kPacketSize;
  if (short_packet || unplug ||
      transfer->length - transfer->actual < static_cast<int>(kPacketSize)) {
    pending_.erase(found);
    transfer->status = transfer->async ? static_cast<int>(LIBUSB_TRANSFER_COMPLETED)
                                       : static_cast<int>(LIBUSB_SUCCESS);
    transfer->done = true;
    if (transfer->async) finished_async_.push_back(transfer);
    changed_.notify_all();
  }
  if (unplug) {
    device.plugged = false;
    CompleteAll(device, LIBUSB_ERROR_NO_DEVICE);
  }
}

void UsbSimulator::CompleteAll(SimulatedDevice& device, int status) {
  for (auto it = pending_.begin(); it != pending_.end();) {
    PendingTransfer* transfer = *it;
    if (transfer->handle->device->sim != &device) {
      ++it;
      continue;
    }
    it = pending_.erase(it);
    transfer->done = true;
    if (transfer->async) {
      transfer->status = LIBUSB_TRANSFER_NO_DEVICE;
      finished_async_.push_back(transfer);
    } else {
      transfer->status = status;
    }
  }
  changed_.notify_all();
}

void UsbSimulator::ChargeControl(std::unique_lock<std::mutex>& lock) {
  if (control_cost_ms_ <= 0) return;
  WaitToAdvance(lock);
  Advance(lock, now_ + control_cost_ms_ * kNsPerMs);
  EndAdvance();
}

SimulatedDevice* UsbSimulator::Live(libusb_device_handle* handle) {
  if (handle == nullptr || !handle->open || !handle->device->sim->plugged) return nullptr;
  return handle->device->sim;
}

// ---- contexts and device lists ----

int UsbSimulator::Init(libusb_context** context) {
  std::lock_guard<std::mutex> lock(mutex_);
  contexts_.push_back(std::make_unique<libusb_context>());
  ++resources_.contexts;
  if (context) *context = contexts_.back().get();
  return LIBUSB_SUCCESS;
}

void UsbSimulator::Exit(libusb_context* context) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (context == nullptr || !context->alive) return;
  context->alive = false;
  --resources_.contexts;
}

ssize_t UsbSimulator::DeviceList(libusb_context* context, libusb_device*** list) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<libusb_device*> found;
  for (const auto& device : devices_) {
    if (!device->plugged) continue;
    auto object = std::find_if(device_objects_.begin(), device_objects_.end(), [&](const auto& o) {
      return o->context == context && o->sim == device.get();
    });
    if (object == device_objects_.end()) {
      device_objects_.push_back(
          std::make_unique<libusb_device>(libusb_device{context, device.get()}));
      object = device_objects_.end() - 1;
    }
    ++(*object)->references;
    ++resources_.device_references;
    found.push_back(object->get());
  }
  auto** array =
      static_cast<libusb_device**>(std::calloc(found.size() + 1, sizeof(libusb_device*)));
  std::copy(found.begin(), found.end(), array);
  *list = array;
  return static_cast<ssize_t>(found.size());
}

void UsbSimulator::FreeDeviceList(libusb_device** list, int unref) {
  if (list == nullptr) return;
  if (unref) {
    for (libusb_device** d = list; *d != nullptr; ++d) Unref(*d);
  }
  std::free(list);
}

libusb_device* UsbSimulator::Ref(libusb_device* device) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++device->references;
  ++resources_.device_references;
  return device;
}

void UsbSimulator::Unref(libusb_device* device) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (device == nullptr) return;
  --device->references;
  --resources_.device_references;
}

int UsbSimulator::DeviceDescriptor(libusb_device* device, libusb_device_descriptor* descriptor) {
  std::lock_guard<std::mutex> lock(mutex_);
  const SimulatedDevice& sim = *device->sim;
  *descriptor = {};
  descriptor->bLength = LIBUSB_DT_DEVICE_SIZE;
  descriptor->bDescriptorType = LIBUSB_DT_DEVICE;
  descriptor->bcdUSB = 0x0200;
  descriptor->bMaxPacketSize0 = 8;
  descriptor->idVendor = 0x0403;
  descriptor->idProduct = sim.chip.Kind().product_id;
  descriptor->bcdDevice = sim.chip.Kind().bcd_device;
  descriptor->iManufacturer = 1;
  descriptor->iProduct = sim.product.empty() ? 0 : 2;
  descriptor->iSerialNumber = sim.serial.empty() ? 0 : 3;
  descriptor->bNumConfigurations = 1;
  return LIBUSB_SUCCESS;
}

int UsbSimulator::ConfigDescriptor(libusb_device* /*device*/, libusb_config_descriptor** config) {
  std::lock_guard<std::mutex> lock(mutex_);
  // One block: the configuration, its interface, one setting, two endpoints.
  struct Block {
    libusb_config_descriptor config;
    libusb_interface interface;
    libusb_interface_descriptor setting;
    libusb_endpoint_descriptor endpoints[2];
  };
  auto* block = static_cast<Block*>(std::calloc(1, sizeof(Block)));
  block->endpoints[0].bEndpointAddress = 0x81;
  block->endpoints[0].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
  block->endpoints[0].wMaxPacketSize = kPacketSize;
  block->endpoints[1].bEndpointAddress = 0x02;
  block->endpoints[1].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
  block->endpoints[1].wMaxPacketSize = kPacketSize;
  block->setting.bNumEndpoints = 2;
  block->setting.bInterfaceClass = 0xFF;
  block->setting.endpoint = block->endpoints;
  block->interface.altsetting = &block->setting;
  block->interface.num_altsetting = 1;
  block->config.bConfigurationValue = 1;
  block->config.bNumInterfaces = 1;
  block->config.interface = &block->interface;
  ++resources_.config_descriptors;
  *config = &block->config;
  return LIBUSB_SUCCESS;
}

void UsbSimulator::FreeConfigDescriptor(libusb_config_descriptor* config) {
  if (config == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  --resources_.config_descriptors;
  std::free(config);
}

std::uint8_t UsbSimulator::BusNumber(libusb_device* device) {
  return device->sim->bus;
}

std::uint8_t UsbSimulator::Address(libusb_device* device) {
  return device->sim->address;
}

int UsbSimulator::PortNumbers(libusb_device* device, std::uint8_t* ports, int length) {
  const auto& chain = device->sim->ports;
  if (static_cast<int>(chain.size()) > length) return LIBUSB_ERROR_OVERFLOW;
  std::copy(chain.begin(), chain.end(), ports);
  return static_cast<int>(chain.size());
}

// ---- handles ----

int UsbSimulator::Open(libusb_device* device, libusb_device_handle** handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!device->sim->plugged) return LIBUSB_ERROR_NO_DEVICE;
  if (device->sim->access_refused) return LIBUSB_ERROR_ACCESS;
  handles_.push_back(std::make_unique<libusb_device_handle>(libusb_device_handle{device}));
  ++device->references;
  ++resources_.device_references;
  ++resources_.open_handles;
  ++device->sim->open_count;
  ++device_opens_;
  *handle = handles_.back().get();
  return LIBUSB_SUCCESS;
}

void UsbSimulator::Close(libusb_device_handle* handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle == nullptr || !handle->open) return;
  if (handle->claimed && handle->detached_on_claim) handle->device->sim->kernel_driver_bound = true;
  handle->open = false;
  --handle->device->sim->open_count;
  --handle->device->references;
  --resources_.device_references;
  --resources_.open_handles;
  changed_.notify_all();
}

int UsbSimulator::Configuration(libusb_device_handle* handle, int* config) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!Live(handle)) return LIBUSB_ERROR_NO_DEVICE;
  *config = 1;
  return LIBUSB_SUCCESS;
}

int UsbSimulator::SetConfiguration(libusb_device_handle* handle, int /*config*/) {
  std::lock_guard<std::mutex> lock(mutex_);
  return Live(handle) ? LIBUSB_SUCCESS : LIBUSB_ERROR_NO_DEVICE;
}

int UsbSimulator::ClaimInterface(libusb_device_handle* handle, int /*interface*/) {
  std::lock_guard<std::mutex> lock(mutex_);
  SimulatedDevice* device = Live(handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  if (device->kernel_driver_bound) {
    if (!handle->auto_detach) return LIBUSB_ERROR_BUSY;
    device->kernel_driver_bound = false;
    handle->detached_on_claim = true;
  }
  handle->claimed = true;
  return LIBUSB_SUCCESS;
}

int UsbSimulator::ReleaseInterface(libusb_device_handle* handle, int /*interface*/) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!handle->claimed) return LIBUSB_ERROR_NOT_FOUND;
  handle->claimed = false;
  // The kernel's serial driver gets the converter back.
  if (handle->detached_on_claim) handle->device->sim->kernel_driver_bound = true;
  handle->detached_on_claim = false;
  return handle->device->sim->plugged ? LIBUSB_SUCCESS : LIBUSB_ERROR_NO_DEVICE;
}

int UsbSimulator::KernelDriverActive(libusb_device_handle* handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  SimulatedDevice* device = Live(handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  return device->kernel_driver_bound ? 1 : 0;
}

int UsbSimulator::DetachKernelDriver(libusb_device_handle* handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  SimulatedDevice* device = Live(handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  if (!device->kernel_driver_bound) return LIBUSB_ERROR_NOT_FOUND;
  device->kernel_driver_bound = false;
  return LIBUSB_SUCCESS;
}

int UsbSimulator::AttachKernelDriver(libusb_device_handle* handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  SimulatedDevice* device = Live(handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  device->kernel_driver_bound = true;
  return LIBUSB_SUCCESS;
}

int UsbSimulator::SetAutoDetach(libusb_device_handle* handle, int enable) {
  std::lock_guard<std::mutex> lock(mutex_);
  handle->auto_detach = enable != 0;
  return LIBUSB_SUCCESS;
}

// ---- transfers ----

int UsbSimulator::ControlTransfer(libusb_device_handle* handle, std::uint8_t request_type,
                                  std::uint8_t request, std::uint16_t value, std::uint16_t index,
                                  unsigned char* data, std::uint16_t length) {
  std::unique_lock<std::mutex> lock(mutex_);
  ChargeControl(lock);
  SimulatedDevice* device = Live(handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  if ((request_type & LIBUSB_REQUEST_TYPE_VENDOR) == 0) return LIBUSB_ERROR_PIPE;
  requests_.push_back({request_type, request, value, index});
  const int result = device->chip.Vendor(request, value, index, data, length, now_);
  return result < 0 ? LIBUSB_ERROR_PIPE : result;
}

int UsbSimulator::StringAscii(libusb_device_handle* handle, std::uint8_t index, unsigned char* data,
                              int length) {
  std::unique_lock<std::mutex> lock(mutex_);
  ChargeControl(lock);
  SimulatedDevice* device = Live(handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  ++string_requests_;
  const std::string* text = index == 1   ? &device->manufacturer
                            : index == 2 ? &device->product
                            : index == 3 ? &device->serial
                                         : nullptr;
  if (text == nullptr || length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
  const int n = std::min(static_cast<int>(text->size()), length - 1);
  std::memcpy(data, text->data(), static_cast<std::size_t>(n));
  data[n] = 0;
  return n;
}

int UsbSimulator::BulkTransfer(libusb_device_handle* handle, unsigned char endpoint,
                               unsigned char* data, int length, int* transferred,
                               unsigned int timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (transferred) *transferred = 0;
  SimulatedDevice* device = Live(handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  if ((endpoint & LIBUSB_ENDPOINT_IN) == 0) {
    device->chip.HostSends(data, static_cast<std::size_t>(length), now_);
    if (transferred) *transferred = length;
    return LIBUSB_SUCCESS;
  }
  if (device->stall_in) return LIBUSB_ERROR_PIPE;
  PendingTransfer transfer;
  transfer.handle = handle;
  transfer.buffer = data;
  transfer.length = length;
  transfer.deadline = TimeoutDeadline(now_, timeout_ms);
  pending_.push_back(&transfer);
  device->reader = std::this_thread::get_id();
  device->reader_gone = false;
  changed_.notify_all();
  while (!transfer.done) {
    if (advancing_ || !MayMoveClock()) {
      changed_.wait(lock);
      continue;
    }
    advancing_ = true;
    AdvanceUntil(lock, transfer.deadline,
                 [this, &transfer] { return transfer.done || !MayMoveClock(); });
    EndAdvance();
  }
  if (transferred) *transferred = transfer.actual;
  return transfer.status;
}

libusb_transfer* UsbSimulator::AllocTransfer() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++resources_.transfers;
  auto* transfer = static_cast<libusb_transfer*>(std::calloc(1, sizeof(libusb_transfer)));
  transfer->user_data = nullptr;
  return transfer;
}

void UsbSimulator::FreeTransfer(libusb_transfer* transfer) {
  if (transfer == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  --resources_.transfers;
  std::free(transfer);
}

int UsbSimulator::Submit(libusb_transfer* transfer) {
  std::lock_guard<std::mutex> lock(mutex_);
  SimulatedDevice* device = Live(transfer->dev_handle);
  if (!device) return LIBUSB_ERROR_NO_DEVICE;
  auto record = std::make_unique<PendingTransfer>();
  record->handle = transfer->dev_handle;
  record->buffer = transfer->buffer;
  record->length = transfer->length;
  record->async = transfer;
  record->deadline = TimeoutDeadline(now_, transfer->timeout);
  if ((transfer->endpoint & LIBUSB_ENDPOINT_IN) == 0) {
    device->chip.HostSends(transfer->buffer, static_cast<std::size_t>(transfer->length), now_);
    record->actual = transfer->length;
    record->status = LIBUSB_TRANSFER_COMPLETED;
    record->done = true;
    finished_async_.push_back(record.get());
  } else {
    pending_.push_back(record.get());
    device->reader = std::this_thread::get_id();
    device->reader_gone = false;
  }
  async_records_.push_back(std::move(record));
  changed_.notify_all();
  return LIBUSB_SUCCESS;
}

int UsbSimulator::Cancel(libusb_transfer* transfer) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find_if(pending_.begin(), pending_.end(),
                         [transfer](const PendingTransfer* t) { return t->async == transfer; });
  if (it == pending_.end()) return LIBUSB_ERROR_NOT_FOUND;
  PendingTransfer* record = *it;
  pending_.erase(it);
  record->status = LIBUSB_TRANSFER_CANCELLED;
  record->done = true;
  finished_async_.push_back(record);
  changed_.notify_all();
  return LIBUSB_SUCCESS;
}

int UsbSimulator::HandleEvents(libusb_context* context, const timeval* timeout, int* completed) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto mine = [context](const PendingTransfer* t) { return t->handle->device->context == context; };
  auto any_finished = [&] {
    return std::any_of(finished_async_.begin(), finished_async_.end(), mine) ||
           (completed != nullptr && *completed != 0);
  };
  if (!any_finished()) {
    const std::int64_t wait =
        timeout ? timeout->tv_sec * 1000 * kNsPerMs + timeout->tv_usec * 1000 : 0;
    WaitToAdvance(lock);
    AdvanceUntil(lock, now_ + wait, any_finished);
    EndAdvance();
  }
  std::vector<PendingTransfer*> ready;
  for (auto it = finished_async_.begin(); it != finished_async_.end();) {
    if (mine(*it)) {
      ready.push_back(*it);
      it = finished_async_.erase(it);
    } else {
      ++it;
    }
  }
  lock.unlock();
  for (PendingTransfer* record : ready) {
    libusb_transfer* transfer = record->async;
    transfer->actual_length = record->actual;
    transfer->status = static_cast<libusb_transfer_status>(record->status);
    if (transfer->callback) transfer->callback(transfer);
  }
  return LIBUSB_SUCCESS;
}

// ---- building instruments ----

SimulatedDevice& PlugInstrument(ChipKind kind, const EmulatedInstrumentConfig& config,
                                std::vector<std::uint8_t> ports) {
  SimulatedDevice& device = UsbSimulator::Instance().Plug(
      kind, std::make_shared<EmulatedInstrument>(config), std::move(ports));
  device.product = config.description;
  device.serial = config.serial;
  return device;
}

}  // namespace kestrum::usbsim
