// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/libftdi_driver.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <tuple>
#include <vector>

#include "link/ftdi_receiver.h"

namespace kestrum {
namespace {

std::vector<std::uint8_t> PortChain(libusb_device* device) {
  std::uint8_t ports[8] = {};
  const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
  return std::vector<std::uint8_t>(ports, ports + std::max(depth, 0));
}

// The converters found by one enumeration, in a stable order: by bus, then
// by the chain of hub ports, so a device keeps its index across listings
// and across being plugged out and into the same socket.
class DeviceList {
 public:
  explicit DeviceList(ftdi_context* context) {
    if (context == nullptr) return;
    // Vendor and product 0 find the standard FTDI product ids.
    status_ = ftdi_usb_find_all(context, &list_, 0, 0);
    for (ftdi_device_list* entry = list_; entry != nullptr; entry = entry->next) {
      devices_.push_back(entry->dev);
    }
    std::stable_sort(devices_.begin(), devices_.end(),
                     [](libusb_device* a, libusb_device* b) { return SortKey(a) < SortKey(b); });
  }
  ~DeviceList() {
    if (list_ != nullptr) ftdi_list_free(&list_);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;

  bool ok() const { return status_ >= 0; }
  const std::vector<libusb_device*>& devices() const { return devices_; }

 private:
  static std::tuple<int, std::vector<std::uint8_t>, int> SortKey(libusb_device* device) {
    return {libusb_get_bus_number(device), PortChain(device), libusb_get_device_address(device)};
  }

  ftdi_device_list* list_ = nullptr;
  int status_ = -1;
  std::vector<libusb_device*> devices_;
};

bool OpenRefusedForPermission(libusb_device* device) {
  libusb_device_handle* handle = nullptr;
  const int result = libusb_open(device, &handle);
  if (result == 0) libusb_close(handle);
  return result == LIBUSB_ERROR_ACCESS;
}

// A converter programmed without the string has string index 0.
bool HasNoString(libusb_device* device, bool serial) {
  libusb_device_descriptor descriptor{};
  if (libusb_get_device_descriptor(device, &descriptor) != 0) return false;
  return (serial ? descriptor.iSerialNumber : descriptor.iProduct) == 0;
}

struct ConverterStrings {
  FtStatus status = FT_OK;
  bool access_denied = false;
  std::string description;
  std::string serial;
};

// From sysfs where the kernel has the device; else asked of the device
// through `context`, which opens it for the string requests only and
// neither claims it nor detaches the kernel's serial driver.
ConverterStrings ReadConverterStrings(const UsbPaths& paths, ftdi_context* context,
                                      libusb_device* device) {
  ConverterStrings strings;
  const std::uint8_t bus = libusb_get_bus_number(device);
  if (auto cached = ReadUsbSysfsStrings(paths, bus, PortChain(device))) {
    if (!UsbNodeAccessible(paths, bus, libusb_get_device_address(device))) {
      strings.status = FT_DEVICE_NOT_OPENED;
      strings.access_denied = true;
    }
    strings.description = cached->product;
    strings.serial = cached->serial;
    return strings;
  }
  char description[256] = {};
  char serial[256] = {};
  if (ftdi_usb_get_strings2(context, device, nullptr, 0, description, sizeof description, serial,
                            sizeof serial) < 0) {
    if (OpenRefusedForPermission(device)) {
      strings.status = FT_DEVICE_NOT_OPENED;
      strings.access_denied = true;
      return strings;
    }
    // A converter without strings cannot answer for them; any other failure
    // leaves its texts unknown.
    if (!HasNoString(device, false) || !HasNoString(device, true)) strings.status = FT_IO_ERROR;
    return strings;
  }
  strings.description = description;
  strings.serial = serial;
  return strings;
}

// Cuts the text to the caller's buffer the way the D2XX listing does: NUL
// only when the text is shorter.
void CopyListed(const std::string& text, char* buffer, std::size_t size) {
  std::memcpy(buffer, text.data(), std::min(text.size(), size));
  if (text.size() < size) buffer[text.size()] = '\0';
}

FtStatus FromLibFtdi(int result) {
  return result < 0 ? FT_IO_ERROR : FT_OK;
}

}  // namespace

struct LibFtdiDriver::OpenConverter {
  ftdi_context* context = nullptr;
  std::unique_ptr<FtdiReceiver> receiver;
};

LibFtdiDriver::LibFtdiDriver(UsbPaths paths)
    : paths_(std::move(paths)), list_context_(ftdi_new()) {}

LibFtdiDriver::~LibFtdiDriver() {
  for (auto& [handle, converter] : open_) {
    converter->receiver->Stop();
    ftdi_usb_close(converter->context);
    ftdi_free(converter->context);
  }
  if (list_context_ != nullptr) ftdi_free(list_context_);
}

FtStatus LibFtdiDriver::ListDeviceCount(std::uint32_t* count) {
  if (list_context_ == nullptr) return FT_OTHER_ERROR;
  // A command has a converter open: the last listing stands.
  if (!open_.empty()) {
    *count = static_cast<std::uint32_t>(listing_.size());
    return FT_OK;
  }
  DeviceList list(list_context_);
  if (!list.ok()) return FT_IO_ERROR;
  access_denied_ = false;
  listing_.clear();
  for (libusb_device* device : list.devices()) {
    const ConverterStrings strings = ReadConverterStrings(paths_, list_context_, device);
    access_denied_ = access_denied_ || strings.access_denied;
    listing_.push_back({strings.status, strings.description, strings.serial});
  }
  *count = static_cast<std::uint32_t>(listing_.size());
  return FT_OK;
}

FtStatus LibFtdiDriver::ListDescription(std::uint32_t index, FtDescriptionBuffer& buffer) {
  if (index >= listing_.size()) return FT_DEVICE_NOT_FOUND;
  const Listed& listed = listing_[index];
  if (listed.status != FT_OK) return listed.status;
  CopyListed(listed.description, buffer.data(), buffer.size());
  return FT_OK;
}

FtStatus LibFtdiDriver::ListSerialNumber(std::uint32_t index, FtSerialBuffer& buffer) {
  if (index >= listing_.size()) return FT_DEVICE_NOT_FOUND;
  const Listed& listed = listing_[index];
  if (listed.status != FT_OK) return listed.status;
  CopyListed(listed.serial, buffer.data(), buffer.size());
  return FT_OK;
}

FtStatus LibFtdiDriver::OpenBySerialNumber(const char* serial, FtHandle* handle) {
  // The device is found through the context that opens it: libusb objects
  // of one context must not be used with another.
  ftdi_context* context = ftdi_new();
  if (context == nullptr) return FT_INSUFFICIENT_RESOURCES;
  FtStatus status = FT_DEVICE_NOT_FOUND;
  {
    DeviceList list(context);
    for (libusb_device* device : list.devices()) {
      const ConverterStrings strings = ReadConverterStrings(paths_, context, device);
      if (strings.status == FT_IO_ERROR || strings.serial != serial) continue;
      ftdi_set_interface(context, INTERFACE_A);
      // Give /dev/ttyUSB* back to the kernel when the device is closed.
      context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
      status = ftdi_usb_open_dev(context, device) < 0 ? FT_DEVICE_NOT_OPENED : FT_OK;
      break;
    }
  }
  if (status != FT_OK) {
    ftdi_free(context);
    return status;
  }
  ftdi_set_latency_timer(context, kLatencyTimerMs);
  // The open resets the baud rate only; the data format and flow control
  // are whatever the last program left. Start from a known line.
  ftdi_set_line_property(context, BITS_8, STOP_BIT_1, NONE);
  ftdi_setflowctrl(context, SIO_DISABLE_FLOW_CTRL);
  context->usb_write_timeout = 2000;

  auto converter = std::make_unique<OpenConverter>();
  converter->context = context;
  converter->receiver =
      std::make_unique<FtdiReceiver>(context->usb_dev, static_cast<unsigned char>(context->out_ep),
                                     static_cast<int>(context->max_packet_size));
  if (next_handle_ == 0) next_handle_ = 1;
  const FtHandle opened = next_handle_++;
  open_[opened] = std::move(converter);
  *handle = opened;
  return FT_OK;
}

LibFtdiDriver::OpenConverter* LibFtdiDriver::Opened(FtHandle handle) const {
  const auto found = open_.find(handle);
  return found == open_.end() ? nullptr : found->second.get();
}

FtStatus LibFtdiDriver::Close(FtHandle handle) {
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  // The receiver stops reading before the handle goes.
  converter->receiver->Stop();
  const int result = ftdi_usb_close(converter->context);
  ftdi_free(converter->context);
  open_.erase(handle);
  return FromLibFtdi(result);
}

FtStatus LibFtdiDriver::Read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                             std::uint32_t* received, const FtReadProgress& progress) {
  *received = 0;
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  return converter->receiver->Read(buffer, count, received, progress,
                                   std::chrono::milliseconds(kReadSilenceTimeoutMs));
}

FtStatus LibFtdiDriver::Drain(FtHandle handle, int quiet_ms, std::uint32_t* drained,
                              const FtReadProgress& progress) {
  *drained = 0;
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  return converter->receiver->Drain(std::chrono::milliseconds(quiet_ms), drained, progress);
}

FtStatus LibFtdiDriver::Write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                              std::uint32_t* written) {
  *written = 0;
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  ftdi_context* context = converter->context;
  // Bulk OUT directly, so that a write that breaks off still tells how much
  // went out (ftdi_write_data only reports the error).
  std::vector<std::uint8_t> data(buffer, buffer + count);
  const std::uint32_t chunk = std::max(1u, context->writebuffer_chunksize);
  while (*written < count) {
    const int length = static_cast<int>(std::min(chunk, count - *written));
    int sent = 0;
    const int result =
        libusb_bulk_transfer(context->usb_dev, static_cast<unsigned char>(context->in_ep),
                             data.data() + *written, length, &sent, context->usb_write_timeout);
    *written += static_cast<std::uint32_t>(std::max(sent, 0));
    if (result < 0) return FT_IO_ERROR;
  }
  return FT_OK;
}

FtStatus LibFtdiDriver::SetBaudRate(FtHandle handle, std::uint32_t baud) {
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  if (baud == 0 || baud > INT_MAX) return FT_INVALID_BAUD_RATE;
  const int result = ftdi_set_baudrate(converter->context, static_cast<int>(baud));
  if (result == -1) return FT_INVALID_BAUD_RATE;
  return FromLibFtdi(result);
}

FtStatus LibFtdiDriver::SetDataCharacteristics(FtHandle handle, std::uint8_t word_length,
                                               std::uint8_t stop_bits, std::uint8_t parity) {
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  if ((word_length != FT_BITS_7 && word_length != FT_BITS_8) || stop_bits > FT_STOP_BITS_2 ||
      parity > FT_PARITY_SPACE) {
    return FT_INVALID_PARAMETER;
  }
  return FromLibFtdi(ftdi_set_line_property(
      converter->context, static_cast<ftdi_bits_type>(word_length),
      static_cast<ftdi_stopbits_type>(stop_bits), static_cast<ftdi_parity_type>(parity)));
}

FtStatus LibFtdiDriver::SetFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                       std::uint8_t xoff) {
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  if (mode == FT_FLOW_XON_XOFF) {
    return FromLibFtdi(ftdi_setflowctrl_xonxoff(converter->context, xon, xoff));
  }
  if (mode == FT_FLOW_NONE || mode == FT_FLOW_RTS_CTS || mode == FT_FLOW_DTR_DSR) {
    return FromLibFtdi(ftdi_setflowctrl(converter->context, mode));
  }
  return FT_INVALID_PARAMETER;
}

FtStatus LibFtdiDriver::Purge(FtHandle handle, std::uint32_t mask) {
  OpenConverter* converter = Opened(handle);
  if (converter == nullptr) return FT_INVALID_HANDLE;
  if ((mask & FT_PURGE_RX) != 0) {
    if (ftdi_tciflush(converter->context) < 0) return FT_IO_ERROR;
    converter->receiver->Purge();
  }
  if ((mask & FT_PURGE_TX) != 0 && ftdi_tcoflush(converter->context) < 0) return FT_IO_ERROR;
  return FT_OK;
}

}  // namespace kestrum
