// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The download command: the whole measurement memory of the attached
// instrument into MemoryImage, the calibration values into the decoder
// inputs, copies into files, then the decoder of the model. The window only
// applies the outcome (message boxes, the decode's window state).

#include <cstdint>
#include <optional>
#include <string>

#include "commands/command_window.h"
#include "commands/instrument_port.h"
#include "records/decoded_file.h"
#include "records/image_decoder.h"
#include "records/instrument_model.h"
#include "records/kept_downloads.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

inline constexpr char kConnectingText[] = "Connecting";
inline constexpr char kTransferingText[] = "Transfering measurements";

struct DownloadSettings {
  // Folder of "K5C.tmp" ... "K84E.csv"; the program passes the current
  // directory. Empty: relative names.
  std::string directory;
  // For the decoder: the clock, the folder of "k5dat.tmp" / "debug.tmp",
  // the date separators.
  DecodeContext decode;
  // Folder where the image of every complete download is kept, before it is
  // decoded, under the converter's serial and decode.now; empty: not kept.
  std::string keepFolder;
};

enum class DownloadEnd {
  kRefusedDescription,  // nothing sent, the device only closed
  kNotOpened,           // open failed or no instrument attached
  kUnknownModel,        // a full identify answer naming no K5-K7; nothing changed
  kIncomplete,          // a reply, the identify answer included, came short
                        // (unplugged, silent), bytes were lost on the line,
                        // or a command did not go out whole
  kCancelled,           // the user cancelled the memory transfer
  kImplausibleReply,    // a reply came whole but no instrument sends it
                        // (reply_plausibility.h); nothing changed
  kDecoded,             // transferred and decoded
};

// A complete download as it was kept, with what the history takes of it, so
// that nothing has to be read, parsed or decoded again after it.
struct KeptDownload {
  KeptDownloadFile file;  // the path written and the parts of its name
  std::string bytes;      // the data file as written
  // Every run the bytes hold, those dated after the download's clock (which
  // the window leaves out) included; or why they could not be decoded.
  Result<DecodedFile> runs = DecodedFile{};
};

struct DownloadOutcome {
  DownloadEnd end = DownloadEnd::kRefusedDescription;
  // The K5-K7 identify answer (kNoModelCode for a K8 or none).
  std::uint8_t modelCode = 0;
  // For kUnknownModel, kIncomplete and kImplausibleReply: the text of the
  // error box.
  std::string error;
  // For kNotOpened: why the open failed, as the open said it.
  std::string openFailure;
  // The copies ("K5C.tmp", "RN4.tmp", "K7E.csv" ...) that could not be written, as
  // shown in the status text; the download itself still counts.
  std::string copyErrors;
  // The kept download, or why none was written (then the reason is also in
  // copyErrors, and the download still counts). Unset when keeping is off or
  // no transfer completed.
  std::optional<Result<KeptDownload>> kept;
  // kIncomplete: the reply that came short.
  std::uint32_t received = 0;
  std::uint32_t requested = 0;
  // Set when a decoder ran: after a complete transfer.
  std::optional<InstrumentModel> decodedModel;
  std::optional<DecodeResult> decode;
};

// "The instrument answered with an unknown model code 0x39; nothing was changed"
std::string UnknownModelText(std::uint8_t modelCode);

// The status text for a copy file that could not be written.
std::string CopyNotWrittenText(const std::string& name, const std::string& error);

// The device was opened (whatever came of it): the window's download button
// is enabled again, as it was disabled for the download.
bool DownloadReachedTheDevice(const DownloadOutcome& outcome);
// A K5-K7 download came in whole: its trigger level can be set now.
bool DownloadOffersTriggerLevel(const DownloadOutcome& outcome);

// Runs the download over the port module with SelectedInstrument. Nothing of
// the store (image, decoder inputs, runs, samples) and no copy file changes
// unless every reply arrived in full and plausible; the device is closed on every path.
DownloadOutcome DownloadMeasurements(MeasurementStore& store, const DownloadSettings& settings,
                                     CommandWindow& window);

}  // namespace kestrum
