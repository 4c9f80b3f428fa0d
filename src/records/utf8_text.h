// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTF-8 as the user's texts and the system's names arrive: not always valid.

#include <cstddef>
#include <string_view>

namespace kestrum {

// The length of the valid UTF-8 sequence at the start of text, or 0 when
// the first byte starts none (a stray continuation, an overlong form, a
// surrogate, a truncated sequence).
std::size_t Utf8SequenceLength(std::string_view text);

// Characters (code points) in text; a byte that is not UTF-8 counts as one.
std::size_t Utf8CharacterCount(std::string_view text);

}  // namespace kestrum
