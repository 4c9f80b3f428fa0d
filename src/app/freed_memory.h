// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading and drawing ten years of samples frees megabytes of scratch that
// glibc would otherwise keep for the process: handed back to the system,
// the program stays as small as what it still holds.

#if defined(__GLIBC__)
#include <malloc.h>
inline void ReturnFreedMemory() {
  malloc_trim(0);
}
#else
inline void ReturnFreedMemory() {}
#endif
