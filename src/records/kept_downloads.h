// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every complete download is kept, before it is decoded, as a data file of
// its own in the kept-downloads folder:
//   K<model>-<converter serial>-<YYYYMMDD-HHMMSS>.Rn
// ("-2", "-3" ... before ".Rn" for a second download in the same second).
// The program writes such files only as new files and never deletes one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/instrument_model.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

// "<data folder>/downloads".
std::string KeptDownloadsFolder(const std::string& dataFolder);

// The serial as it appears in file names: letters, digits, '.', '_' and '+'
// stay, anything else becomes '_'.
std::string FileNameSerial(const std::string& serial);

struct KeptDownloadName {
  InstrumentModel model = InstrumentModel::K5;
  std::string serial;  // as in the name (FileNameSerial)
  DateTime at = 0;     // when it was downloaded, to the second
  int copy = 1;        // 2, 3 ... for later downloads in the same second
};

std::string KeptDownloadFileName(const KeptDownloadName& name);
// Empty for any name the program does not write.
std::optional<KeptDownloadName> ParseKeptDownloadFileName(const std::string& fileName);

// The kept downloads in `folder`, by their names only, newest first; an
// absent folder has none.
struct KeptDownloadFile {
  std::string path;
  KeptDownloadName name;
};
std::vector<KeptDownloadFile> KeptDownloadFiles(const std::string& folder);

// Writes `image` (the bytes of a data file) as a new kept download in
// `folder`, creating the folder when needed; gives the path written and its name.
Result<KeptDownloadFile> KeepDownload(const std::string& folder, InstrumentModel model,
                                      const std::string& serial, DateTime at,
                                      std::string_view image);

// The instrument a kept download belongs to, as the history files it: "K8-<serial>".
std::string KeptInstrumentName(const KeptDownloadName& name);

// The status text when a download could not be kept.
std::string DownloadNotKeptText(const std::string& folder, const std::string& error);

}  // namespace kestrum
