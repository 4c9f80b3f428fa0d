// SPDX-License-Identifier: GPL-3.0-or-later
// annotations.tsv as anyone may have edited it: reading arbitrary bytes
// never crashes, and what was read is written and read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "history/annotations_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (kestrum::UnescapeAnnotationField(kestrum::EscapeAnnotationField(bytes)) != bytes)
    std::abort();
  const kestrum::Annotations read = kestrum::ParseAnnotations(bytes).annotations;
  const kestrum::AnnotationsRead again = kestrum::ParseAnnotations(kestrum::AnnotationsText(read));
  const kestrum::Annotations& back = again.annotations;
  if (again.unreadLines != 0 || back.runs.size() != read.runs.size() ||
      back.activity.size() != read.activity.size() || back.files.size() != read.files.size() ||
      back.instruments.size() != read.instruments.size()) {
    std::abort();
  }
  for (std::size_t i = 0; i < read.runs.size(); ++i) {
    if (back.runs[i].site != read.runs[i].site || back.runs[i].note != read.runs[i].note ||
        !(back.runs[i].key == read.runs[i].key)) {
      std::abort();
    }
  }
  return 0;
}
