#include "link/libftdi_driver.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace kestrum {
namespace {

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
    std::uint8_t ports[8] = {};
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    return {libusb_get_bus_number(device),
            std::vector<std::uint8_t>(ports, ports + std::max(depth, 0)),
            libusb_get_device_address(device)};
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

using Clock = std::chrono::steady_clock;

}  // namespace

LibFtdiDriver::LibFtdiDriver() : list_context_(ftdi_new()) {}

LibFtdiDriver::~LibFtdiDriver() {
  for (auto& [handle, context] : open_) {
    ftdi_usb_close(context);
    ftdi_free(context);
  }
  if (list_context_ != nullptr) ftdi_free(list_context_);
}

FtStatus LibFtdiDriver::ListDeviceCount(std::uint32_t* count) {
  if (list_context_ == nullptr) return FT_OTHER_ERROR;
  access_denied_ = false;
  DeviceList list(list_context_);
  if (!list.ok()) return FT_IO_ERROR;
  *count = static_cast<std::uint32_t>(list.devices().size());
  return FT_OK;
}

FtStatus LibFtdiDriver::ListString(std::uint32_t index, StringKind kind, char* buffer, int size) {
  if (list_context_ == nullptr) return FT_OTHER_ERROR;
  DeviceList list(list_context_);
  if (!list.ok()) return FT_IO_ERROR;
  if (index >= list.devices().size()) return FT_DEVICE_NOT_FOUND;
  libusb_device* device = list.devices()[index];

  // Read into room enough for any USB string, then cut to the caller's
  // buffer the way the D2XX listing does: NUL only when the text is shorter.
  char text[256] = {};
  const bool serial = kind == StringKind::kSerial;
  // get_strings2 opens the device for the string requests only; it neither
  // claims the interface nor detaches the kernel's serial driver.
  const int result =
      serial
          ? ftdi_usb_get_strings2(list_context_, device, nullptr, 0, nullptr, 0, text, sizeof text)
          : ftdi_usb_get_strings2(list_context_, device, nullptr, 0, text, sizeof text, nullptr, 0);
  if (result < 0) {
    if (OpenRefusedForPermission(device)) {
      access_denied_ = true;
      return FT_DEVICE_NOT_OPENED;
    }
    if (!HasNoString(device, serial)) return FT_IO_ERROR;
    text[0] = '\0';
  }
  const int length = static_cast<int>(std::strlen(text));
  std::memcpy(buffer, text, static_cast<std::size_t>(std::min(length, size)));
  if (length < size) buffer[length] = '\0';
  return FT_OK;
}

FtStatus LibFtdiDriver::ListDescription(std::uint32_t index, FtDescriptionBuffer& buffer) {
  return ListString(index, StringKind::kDescription, buffer.data(),
                    static_cast<int>(buffer.size()));
}

FtStatus LibFtdiDriver::ListSerialNumber(std::uint32_t index, FtSerialBuffer& buffer) {
  return ListString(index, StringKind::kSerial, buffer.data(), static_cast<int>(buffer.size()));
}

FtStatus LibFtdiDriver::OpenBySerialNumber(const char* serial, FtHandle* handle) {
  if (list_context_ == nullptr) return FT_OTHER_ERROR;
  DeviceList list(list_context_);
  if (!list.ok()) return FT_IO_ERROR;
  for (libusb_device* device : list.devices()) {
    char text[256] = {};
    if (ftdi_usb_get_strings2(list_context_, device, nullptr, 0, nullptr, 0, text, sizeof text) <
            0 &&
        !HasNoString(device, true)) {
      continue;
    }
    if (std::strcmp(text, serial) != 0) continue;

    ftdi_context* context = ftdi_new();
    if (context == nullptr) return FT_INSUFFICIENT_RESOURCES;
    ftdi_set_interface(context, INTERFACE_A);
    // Give /dev/ttyUSB* back to the kernel when the device is closed.
    context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    if (ftdi_usb_open_dev(context, device) < 0) {
      ftdi_free(context);
      return FT_DEVICE_NOT_OPENED;
    }
    ftdi_set_latency_timer(context, kLatencyTimerMs);
    // Each USB transfer gives up quickly; the read loop below decides when
    // the line has been silent too long.
    context->usb_read_timeout = 500;
    context->usb_write_timeout = 2000;
    if (next_handle_ == 0) next_handle_ = 1;
    const FtHandle opened = next_handle_++;
    open_[opened] = context;
    *handle = opened;
    return FT_OK;
  }
  return FT_DEVICE_NOT_FOUND;
}

ftdi_context* LibFtdiDriver::OpenContext(FtHandle handle) const {
  const auto found = open_.find(handle);
  return found == open_.end() ? nullptr : found->second;
}

FtStatus LibFtdiDriver::Close(FtHandle handle) {
  ftdi_context* context = OpenContext(handle);
  if (context == nullptr) return FT_INVALID_HANDLE;
  open_.erase(handle);
  const int result = ftdi_usb_close(context);
  ftdi_free(context);
  return result < 0 ? FT_IO_ERROR : FT_OK;
}

FtStatus LibFtdiDriver::Read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                             std::uint32_t* received, const FtReadProgress& progress) {
  *received = 0;
  ftdi_context* context = OpenContext(handle);
  if (context == nullptr) return FT_INVALID_HANDLE;
  // ftdi_read_data returns what has arrived, often nothing, so the loop goes
  // on until the count is complete; an instrument that stops answering
  // (unplugged, switched off) ends the read after two silent seconds
  // instead of hanging the program.
  std::uint32_t got = 0;
  auto last_byte = Clock::now();
  const auto silence = std::chrono::milliseconds(kReadSilenceTimeoutMs);
  while (got < count) {
    const int step = static_cast<int>(std::min<std::uint32_t>(count - got, kReadStepBytes));
    const int result = ftdi_read_data(context, buffer + got, step);
    if (result < 0) {
      *received = got;
      return FT_IO_ERROR;
    }
    if (result > 0) {
      got += static_cast<std::uint32_t>(result);
      last_byte = Clock::now();
      if (progress && !progress(got)) break;
      continue;
    }
    if (Clock::now() - last_byte >= silence) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  *received = got;
  return FT_OK;
}

FtStatus LibFtdiDriver::Write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                              std::uint32_t* written) {
  *written = 0;
  ftdi_context* context = OpenContext(handle);
  if (context == nullptr) return FT_INVALID_HANDLE;
  if (count == 0) return FT_OK;
  const int result = ftdi_write_data(context, buffer, static_cast<int>(count));
  if (result < 0) return FT_IO_ERROR;
  *written = static_cast<std::uint32_t>(result);
  return FT_OK;
}

FtStatus LibFtdiDriver::SetBaudRate(FtHandle handle, std::uint32_t baud) {
  ftdi_context* context = OpenContext(handle);
  if (context == nullptr) return FT_INVALID_HANDLE;
  if (baud == 0 || baud > INT_MAX) return FT_INVALID_BAUD_RATE;
  const int result = ftdi_set_baudrate(context, static_cast<int>(baud));
  if (result == -1) return FT_INVALID_BAUD_RATE;
  return result < 0 ? FT_IO_ERROR : FT_OK;
}

FtStatus LibFtdiDriver::SetDataCharacteristics(FtHandle handle, std::uint8_t word_length,
                                               std::uint8_t stop_bits, std::uint8_t parity) {
  ftdi_context* context = OpenContext(handle);
  if (context == nullptr) return FT_INVALID_HANDLE;
  if ((word_length != FT_BITS_7 && word_length != FT_BITS_8) || stop_bits > FT_STOP_BITS_2 ||
      parity > FT_PARITY_SPACE) {
    return FT_INVALID_PARAMETER;
  }
  const int result = ftdi_set_line_property(context, static_cast<ftdi_bits_type>(word_length),
                                            static_cast<ftdi_stopbits_type>(stop_bits),
                                            static_cast<ftdi_parity_type>(parity));
  return result < 0 ? FT_IO_ERROR : FT_OK;
}

FtStatus LibFtdiDriver::SetFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                       std::uint8_t xoff) {
  ftdi_context* context = OpenContext(handle);
  if (context == nullptr) return FT_INVALID_HANDLE;
  int result = 0;
  if (mode == FT_FLOW_XON_XOFF) {
    result = ftdi_setflowctrl_xonxoff(context, xon, xoff);
  } else if (mode == FT_FLOW_NONE || mode == FT_FLOW_RTS_CTS || mode == FT_FLOW_DTR_DSR) {
    result = ftdi_setflowctrl(context, mode);
  } else {
    return FT_INVALID_PARAMETER;
  }
  return result < 0 ? FT_IO_ERROR : FT_OK;
}

FtStatus LibFtdiDriver::Purge(FtHandle handle, std::uint32_t mask) {
  ftdi_context* context = OpenContext(handle);
  if (context == nullptr) return FT_INVALID_HANDLE;
  if ((mask & FT_PURGE_RX) != 0 && ftdi_tciflush(context) < 0) return FT_IO_ERROR;
  if ((mask & FT_PURGE_TX) != 0 && ftdi_tcoflush(context) < 0) return FT_IO_ERROR;
  return FT_OK;
}

}  // namespace kestrum
