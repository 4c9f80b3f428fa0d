// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File names travel as the system's bytes; Qt text is only for showing them.
// A name that came as Qt text (a dialog's, Open Recent's) is turned back into
// bytes here, and refused when that cannot be done exactly: a name that is
// not valid UTF-8 reaches Qt with U+FFFD in place of its bytes, and writing
// there would make or replace another file.

#include <QString>
#include <string>

#include "records/result.h"

namespace kestrum {

// The bytes `name` stands for; the failure says the name cannot be used.
Result<std::string> LocalNameOf(const QString& name);

// How a name is shown (a name that is not UTF-8 shows U+FFFD).
QString ShownName(const std::string& localName);

// The message for a name that cannot be used, naming it as shown.
QString UnusableNameText(const QString& shownName);

// The current folder as the system gives it; empty when it cannot be told
// (names are then taken relative to it).
std::string CurrentFolder();

// Where the window writes its working files ("k5dat.tmp", "debug.tmp", the
// download's copies): the --work-dir folder when one was given, else the
// current folder, as the program has always done.
std::string WorkFolder();
void SetWorkFolder(const std::string& folder);

// `localName` made absolute against the current folder, as written (".." stays).
std::string AbsoluteLocalName(const std::string& localName);

}  // namespace kestrum
