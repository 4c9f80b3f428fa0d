// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What each model can do beyond a download, and the copies its download
// leaves in the current directory, one row a model. The wire dialects, the
// commands and the window read it; the memory layout the decoder, the
// generator and the emulator share is the row's other half
// (memory_layout.h, ImageLengthOf).

#include <cstddef>
#include <vector>

#include "records/instrument_model.h"

namespace kestrum {

// The K5-K7 parameter block (parameter_block.h); its copy holds all of it.
inline constexpr int kParameterBlockBytes = 1024;

inline constexpr char kParameterCopyFile[] = "K5C.tmp";
inline constexpr char kK5ImageCopyFile[] = "K5.tmp";
inline constexpr char kK6ImageCopyFile[] = "K6.tmp";
inline constexpr char kK7ImageCopyFile[] = "K7.tmp";
inline constexpr char kK8ImageCopyFile[] = "RN4.tmp";
inline constexpr char kK7TableFile[] = "K7E.csv";
inline constexpr char kK8TableFile[] = "K84E.csv";

// A copy of what was received that the download leaves beside the program.
struct DownloadCopy {
  // kWordTable: the 256-word table after the header; `bytes` unused.
  enum class Source { kParameters, kImage, kWordTable };
  const char* name;
  Source source;
  std::size_t bytes;
};

struct ModelCapabilities {
  InstrumentModel model;
  // A trigger level (Level button, set-level); the K8 keeps none.
  bool triggerLevel;
  // "Clock updated" is shown once the clock went out; the K8 does not answer.
  bool clockConfirmed;
  // Written after the store took a download, in this order.
  std::vector<DownloadCopy> copies;
};

const ModelCapabilities& CapabilitiesOf(InstrumentModel model);

}  // namespace kestrum
