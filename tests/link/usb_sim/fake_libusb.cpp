// SPDX-License-Identifier: GPL-3.0-or-later
// libusb-1.0 as libftdi1 and our driver call it, answered by the simulated
// converters. Linked into a test program, these definitions take the place
// of the shared library's: the program's own symbols come first.

#include <libusb.h>

#include "link/usb_sim/usb_simulator.h"

using kestrum::usbsim::UsbSimulator;

namespace {
UsbSimulator& Sim() {
  return UsbSimulator::Instance();
}
}  // namespace

extern "C" {

int libusb_init(libusb_context** context) {
  return Sim().Init(context);
}
void libusb_exit(libusb_context* context) {
  Sim().Exit(context);
}
ssize_t libusb_get_device_list(libusb_context* context, libusb_device*** list) {
  return Sim().DeviceList(context, list);
}
void libusb_free_device_list(libusb_device** list, int unref_devices) {
  Sim().FreeDeviceList(list, unref_devices);
}
libusb_device* libusb_ref_device(libusb_device* device) {
  return Sim().Ref(device);
}
void libusb_unref_device(libusb_device* device) {
  Sim().Unref(device);
}
int libusb_get_device_descriptor(libusb_device* device, libusb_device_descriptor* descriptor) {
  return Sim().DeviceDescriptor(device, descriptor);
}
int libusb_get_config_descriptor(libusb_device* device, uint8_t /*index*/,
                                 libusb_config_descriptor** config) {
  return Sim().ConfigDescriptor(device, config);
}
void libusb_free_config_descriptor(libusb_config_descriptor* config) {
  Sim().FreeConfigDescriptor(config);
}
uint8_t libusb_get_bus_number(libusb_device* device) {
  return Sim().BusNumber(device);
}
uint8_t libusb_get_device_address(libusb_device* device) {
  return Sim().Address(device);
}
int libusb_get_port_numbers(libusb_device* device, uint8_t* ports, int length) {
  return Sim().PortNumbers(device, ports, length);
}
int libusb_open(libusb_device* device, libusb_device_handle** handle) {
  return Sim().Open(device, handle);
}
void libusb_close(libusb_device_handle* handle) {
  Sim().Close(handle);
}
int libusb_get_configuration(libusb_device_handle* handle, int* config) {
  return Sim().Configuration(handle, config);
}
int libusb_set_configuration(libusb_device_handle* handle, int config) {
  return Sim().SetConfiguration(handle, config);
}
int libusb_claim_interface(libusb_device_handle* handle, int interface) {
  return Sim().ClaimInterface(handle, interface);
}
int libusb_release_interface(libusb_device_handle* handle, int interface) {
  return Sim().ReleaseInterface(handle, interface);
}
int libusb_kernel_driver_active(libusb_device_handle* handle, int /*interface*/) {
  return Sim().KernelDriverActive(handle);
}
int libusb_detach_kernel_driver(libusb_device_handle* handle, int /*interface*/) {
  return Sim().DetachKernelDriver(handle);
}
int libusb_attach_kernel_driver(libusb_device_handle* handle, int /*interface*/) {
  return Sim().AttachKernelDriver(handle);
}
int libusb_set_auto_detach_kernel_driver(libusb_device_handle* handle, int enable) {
  return Sim().SetAutoDetach(handle, enable);
}
int libusb_control_transfer(libusb_device_handle* handle, uint8_t request_type, uint8_t request,
                            uint16_t value, uint16_t index, unsigned char* data, uint16_t length,
                            unsigned int /*timeout*/) {
  return Sim().ControlTransfer(handle, request_type, request, value, index, data, length);
}
int libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index,
                                       unsigned char* data, int length) {
  return Sim().StringAscii(handle, index, data, length);
}
int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                         int length, int* transferred, unsigned int timeout) {
  return Sim().BulkTransfer(handle, endpoint, data, length, transferred, timeout);
}
libusb_transfer* libusb_alloc_transfer(int /*iso_packets*/) {
  return Sim().AllocTransfer();
}
void libusb_free_transfer(libusb_transfer* transfer) {
  Sim().FreeTransfer(transfer);
}
int libusb_submit_transfer(libusb_transfer* transfer) {
  return Sim().Submit(transfer);
}
int libusb_cancel_transfer(libusb_transfer* transfer) {
  return Sim().Cancel(transfer);
}
int libusb_handle_events_timeout_completed(libusb_context* context, struct timeval* timeout,
                                           int* completed) {
  return Sim().HandleEvents(context, timeout, completed);
}
int libusb_handle_events_timeout(libusb_context* context, struct timeval* timeout) {
  return Sim().HandleEvents(context, timeout, nullptr);
}

}  // extern "C"
