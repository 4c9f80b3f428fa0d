// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The copies a download leaves in the current directory: the raw image and
// parameter block as binary files, and the 256-word table that follows the
// header of a K7 or K8 memory as "K7E.csv" / "K84E.csv". A copy that cannot be
// written is reported; the download itself still counts.

#include <cstdint>
#include <string>

#include "records/model_capabilities.h"

namespace kestrum {

// `name` in `directory`, joined with the platform's separator; just the name
// when the directory is empty.
std::string DownloadFilePath(const std::string& directory, const std::string& name);

// 256 lines "<word>," with CR LF, word k = image[256 + 2k] * 256 + image[257 + 2k];
// `image` holds at least 768 bytes.
std::string WordTableText(const std::uint8_t* image);

}  // namespace kestrum
