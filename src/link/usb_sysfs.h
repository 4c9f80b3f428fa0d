// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the kernel already knows of a USB device, read from the file system
// instead of asking the device: its strings under /sys/bus/usb/devices and
// whether we may open its node under /dev/bus/usb. No USB traffic, no
// permission needed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrum {

struct UsbPaths {
  std::string sysfs_devices = "/sys/bus/usb/devices";
  std::string device_nodes = "/dev/bus/usb";
};

// The device's folder name: bus, a dash, the hub ports joined by dots ("1-1.4").
std::string UsbSysfsName(std::uint8_t bus, const std::vector<std::uint8_t>& ports);

struct UsbSysfsStrings {
  std::string product;  // empty when the device has none
  std::string serial;
};

// Nothing when the kernel has no folder for the device (no sysfs, another
// platform): the caller then asks the device itself.
std::optional<UsbSysfsStrings> ReadUsbSysfsStrings(const UsbPaths& paths, std::uint8_t bus,
                                                   const std::vector<std::uint8_t>& ports);

// False only when the device node exists and we may not open it for
// reading and writing.
bool UsbNodeAccessible(const UsbPaths& paths, std::uint8_t bus, std::uint8_t address);

}  // namespace kestrum
