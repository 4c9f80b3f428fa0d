// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The download command: the whole measurement memory of the attached
// instrument into MemoryImage, the calibration values into the decoder
// inputs, copies into files, then the decoder of the model. The window only
// applies the outcome (message boxes, the decode's window state).

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

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

// A complete download as it was kept, with what the history takes of it, so
// that nothing has to be read, parsed or decoded again after it.
struct KeptDownload {
  KeptDownloadFile file;  // the path written and the parts of its name
  std::string bytes;      // the data file as written
  // Every run the bytes hold, those dated after the download's clock (which
  // the window leaves out) included; or why they could not be decoded.
  Result<DecodedFile> runs = DecodedFile{};
};

// How a download ends. Nothing of the store or the files changes in any end
// but DownloadDecoded.

// The converter's description is no download's: nothing sent, the device only
// closed.
struct DownloadRefused {};

// The open failed or no instrument is attached.
struct DownloadNotOpened {
  std::string reason;  // as the open said it; may be empty
};

// A full identify answer named no K5-K7.
struct DownloadUnknownModel {
  std::string error;  // the text of the error box
};

// The exchange stopped before every reply was in: the user cancelled
// (kCancelled), a reply came whole but no instrument sends it (kImplausible,
// reply_plausibility.h), or a reply, the identify answer included, came
// short, bytes were lost on the line or a command did not go out whole.
// The failure's message is the error box's text; the shortfall is zero when
// every reply came whole (kImplausible) or a command did not go out (kUnsent).
struct DownloadStopped : PortFailure {};

// Transferred and decoded.
struct DownloadDecoded {
  InstrumentModel model = InstrumentModel::K5;
  DecodeResult decode;
  // The copies ("K5C.tmp", "RN4.tmp", "K7E.csv" ...) that could not be
  // written, as shown in the status text; the download itself still counts.
  std::string copyErrors;
  // The kept download, or why none was written (then the reason is also in
  // copyErrors). Unset when keeping is off.
  std::optional<Result<KeptDownload>> kept;
};

struct DownloadOutcome {
  // The K5-K7 identify answer (kNoModelCode for a K8 or none).
  std::uint8_t modelCode = 0;
  std::variant<DownloadRefused, DownloadNotOpened, DownloadUnknownModel, DownloadStopped,
               DownloadDecoded>
      end;
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
// The user's own choice, said in the status bar rather than as a fault.
bool DownloadCancelled(const DownloadOutcome& outcome);
// The text of the error box a failed download shows; none for a decoded,
// cancelled, refused or unopened one.
std::optional<std::string> DownloadErrorBox(const DownloadOutcome& outcome);

// Runs the download over the port module with SelectedInstrument. Nothing of
// the store (image, decoder inputs, runs, samples) and no copy file changes
// unless every reply arrived in full and plausible; the device is closed on every path.
DownloadOutcome DownloadMeasurements(MeasurementStore& store, const DownloadSettings& settings,
                                     CommandWindow& window);

}  // namespace kestrum
