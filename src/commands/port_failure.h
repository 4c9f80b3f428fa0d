// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place where the port module's status codes become this program's
// failures; above it nothing looks at a status code.

#include <string>

#include "link/ft_status.h"
#include "records/result.h"

namespace kestrum {

// Success for FT_OK; otherwise "<what>: <the status in words>", e.g.
// "opening EMUK8001: device not found".
Result<> PortResult(FtStatus status, const std::string& what);

}  // namespace kestrum
