// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The protocol log a user can send with a problem report: every port call of
// every command, one line each, appended to the file that the environment
// variable KESTRUM_PROTOCOL_LOG names.

#include "records/result.h"

inline constexpr const char* kProtocolLogVariable = "KESTRUM_PROTOCOL_LOG";

// Starts the log when the variable is set; a file that cannot be opened is the failure.
kestrum::Result<> StartProtocolLogFromEnvironment();
