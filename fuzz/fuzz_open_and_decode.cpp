// Arbitrary bytes through the path of opening a data file and decoding it,
// then through the texts written from the decoded samples. Inputs whose
// first byte is a model marker are decoded a second time padded with erased
// bytes to their model's length, so that short inputs reach every decoder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "records/date_time.h"
#include "records/decode_files.h"
#include "records/image_decoder.h"
#include "records/open_data_file.h"
#include "records/text_export.h"

namespace {

using namespace kestrum;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// What every decode must leave behind, whatever the image held.
void CheckDecoded(const MeasurementStore& store, const DecodeResult& result) {
  Check(store.RunCount >= 0 && store.RunCount <= 27);
  Check(store.LastSampleIndex >= -1 && store.LastSampleIndex < kSampleCapacity);
  Check(result.itemTexts.size() == static_cast<std::size_t>(store.RunCount));
  Check(result.foundRuns == (store.RunCount > 0));
  std::int32_t next = 0;
  for (std::int32_t i = 0; i < store.RunCount; ++i) {
    const RunEntry& run = store.Runs[i];
    Check(run.FirstSample == next);
    Check(run.LastSample >= run.FirstSample - 1);
    next = run.LastSample + 1;
    if (i > 0) Check(store.Runs[i - 1].StartTime <= run.StartTime);
  }
  Check(next == store.LastSampleIndex + 1);
}

void DecodeAndWrite(const std::uint8_t* data, std::size_t size, MeasurementStore& store) {
  DecodeContext context;
  context.now = EncodeDate(2030, 6, 15) + EncodeTime(12, 0, 0, 0);
  context.writeFiles = false;
  store.Memo1 = "Memo1";  // one decode per input; the text would grow without end
  const OpenResult result = OpenImageBytes(data, size, "fuzz.Rn", store, context);
  if (!result.model) {
    Check(!result.readError.empty());
    return;
  }
  CheckDecoded(store, result.decode);
  // Every sample goes through the same formatting; long lists only slow the search.
  if (store.LastSampleIndex >= 2000) return;
  volatile std::size_t sink = 0;
  sink = sink + K5datText(store, context.separators).size();
  sink = sink + TextExportContent(store, context.separators).size();
  sink = sink + DebugText(store).size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MeasurementStore* store = new MeasurementStore();
  DecodeAndWrite(data, size, *store);

  if (size > 0) {
    if (const auto model = ModelFromMarker(data[0])) {
      const auto length = static_cast<std::size_t>(ImageLengthOf(*model));
      if (size < length) {
        std::vector<std::uint8_t> padded(data, data + size);
        padded.resize(length, 0xFF);
        DecodeAndWrite(padded.data(), padded.size(), *store);
      }
    }
  }
  return 0;
}
