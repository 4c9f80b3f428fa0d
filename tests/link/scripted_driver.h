// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A driver whose every answer the test sets beforehand and which records
// every call, to check what the port module passes down and makes of the
// answers.

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "link/ft_driver.h"

namespace kestrum::testing {

struct ScriptedRead {
  std::vector<std::uint8_t> bytes;
  FtStatus status = FT_OK;
};

class ScriptedDriver : public FtDriver {
 public:
  // Listing. A listing entry holds the raw bytes the driver puts into the
  // buffer, NUL included or not.
  FtStatus count_status = FT_OK;
  std::uint32_t count_value = 0;
  std::vector<std::string> descriptions;
  std::vector<std::string> serials;
  FtStatus description_status = FT_OK;
  FtStatus serial_status = FT_OK;
  bool access_denied = false;
  int description_calls = 0;
  int serial_calls = 0;
  std::vector<std::uint32_t> listed_indexes;

  FtStatus ListDeviceCount(std::uint32_t* count) override {
    if (count_status == FT_OK) *count = count_value;
    return count_status;
  }
  FtStatus ListDescription(std::uint32_t index, FtDescriptionBuffer& buffer) override {
    ++description_calls;
    listed_indexes.push_back(index);
    if (description_status != FT_OK) return description_status;
    return Fill(descriptions, index, buffer.data(), buffer.size());
  }
  FtStatus ListSerialNumber(std::uint32_t index, FtSerialBuffer& buffer) override {
    ++serial_calls;
    if (serial_status != FT_OK) return serial_status;
    return Fill(serials, index, buffer.data(), buffer.size());
  }
  bool ListingAccessDenied() const override { return access_denied; }

  // Device operations.
  FtStatus status = FT_OK;  // returned by open, close and the settings calls
  FtHandle handle_to_give = 77;
  std::vector<std::string> opened_serials;
  std::vector<FtHandle> handles_used;
  std::deque<ScriptedRead> reads;
  std::vector<std::uint32_t> read_counts;
  // Progress is reported after each chunk of this many bytes.
  std::uint32_t progress_chunk = 0;
  std::vector<std::vector<std::uint8_t>> writes;
  std::uint32_t write_limit = 0xFFFFFFFF;  // a short write sends no more
  std::vector<std::uint32_t> bauds;
  std::vector<std::vector<int>> data_settings;
  std::vector<std::vector<int>> flow_settings;
  std::vector<std::uint32_t> purges;
  int open_calls = 0;

  FtStatus OpenBySerialNumber(const char* serial, FtHandle* handle) override {
    ++open_calls;
    opened_serials.emplace_back(serial);
    if (status == FT_OK) *handle = handle_to_give;
    return status;
  }
  FtStatus Close(FtHandle handle) override {
    handles_used.push_back(handle);
    return status;
  }
  FtStatus Read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count, std::uint32_t* received,
                const FtReadProgress& progress) override {
    handles_used.push_back(handle);
    read_counts.push_back(count);
    *received = 0;
    if (reads.empty()) return FT_OK;
    ScriptedRead read = reads.front();
    reads.pop_front();
    const std::uint32_t n = std::min<std::uint32_t>(count, read.bytes.size());
    const std::uint32_t chunk = progress_chunk == 0 ? n : progress_chunk;
    std::uint32_t got = 0;
    while (got < n) {
      const std::uint32_t step = std::min(chunk, n - got);
      std::memcpy(buffer + got, read.bytes.data() + got, step);
      got += step;
      *received = got;
      if (progress && !progress(got)) break;
    }
    return read.status;
  }
  FtStatus Write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                 std::uint32_t* written) override {
    handles_used.push_back(handle);
    writes.emplace_back(buffer, buffer + count);
    *written = std::min(count, write_limit);
    return status;
  }
  FtStatus SetBaudRate(FtHandle handle, std::uint32_t baud) override {
    handles_used.push_back(handle);
    bauds.push_back(baud);
    return status;
  }
  FtStatus SetDataCharacteristics(FtHandle handle, std::uint8_t word_length, std::uint8_t stop_bits,
                                  std::uint8_t parity) override {
    handles_used.push_back(handle);
    data_settings.push_back({word_length, stop_bits, parity});
    return status;
  }
  FtStatus SetFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                          std::uint8_t xoff) override {
    handles_used.push_back(handle);
    flow_settings.push_back({mode, xon, xoff});
    return status;
  }
  FtStatus Purge(FtHandle handle, std::uint32_t mask) override {
    handles_used.push_back(handle);
    purges.push_back(mask);
    return status;
  }

 private:
  static FtStatus Fill(const std::vector<std::string>& texts, std::uint32_t index, char* buffer,
                       std::size_t size) {
    if (index >= texts.size()) return FT_DEVICE_NOT_FOUND;
    const std::string& raw = texts[index];
    std::memcpy(buffer, raw.data(), std::min(raw.size(), size));
    return FT_OK;
  }
};

}  // namespace kestrum::testing
