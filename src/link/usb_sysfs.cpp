// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/usb_sysfs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace kestrum {
namespace {

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// One line of a sysfs attribute, without its newline; empty when absent.
// Read as every file is: without waiting, regular files only, and no more
// than an attribute can hold (a USB string is at most 126 characters).
std::string Attribute(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat info {};
  char text[512];
  ssize_t got = 0;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) got = ::read(fd, text, sizeof text);
  ::close(fd);
  if (got <= 0) return {};
  const std::string content(text, static_cast<std::size_t>(got));
  return content.substr(0, content.find('\n'));
}

}  // namespace

std::string UsbSysfsName(std::uint8_t bus, const std::vector<std::uint8_t>& ports) {
  std::string name = std::to_string(bus) + '-';
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (i > 0) name += '.';
    name += std::to_string(ports[i]);
  }
  return name;
}

std::optional<UsbSysfsStrings> ReadUsbSysfsStrings(const UsbPaths& paths, std::uint8_t bus,
                                                   const std::vector<std::uint8_t>& ports) {
  if (ports.empty()) return std::nullopt;
  const std::string folder = paths.sysfs_devices + '/' + UsbSysfsName(bus, ports);
  if (!IsDirectory(folder)) return std::nullopt;
  return UsbSysfsStrings{Attribute(folder + "/product"), Attribute(folder + "/serial")};
}

bool UsbNodeAccessible(const UsbPaths& paths, std::uint8_t bus, std::uint8_t address) {
  char node[32];
  std::snprintf(node, sizeof node, "/%03u/%03u", static_cast<unsigned>(bus),
                static_cast<unsigned>(address));
  const std::string path = paths.device_nodes + node;
  if (access(path.c_str(), F_OK) != 0) return true;
  return access(path.c_str(), R_OK | W_OK) == 0;
}

}  // namespace kestrum
