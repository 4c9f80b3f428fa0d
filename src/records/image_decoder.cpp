// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/image_decoder.h"

#include <algorithm>
#include <memory>

#include "records/bcd.h"
#include "records/checked_file.h"
#include "records/date_time.h"
#include "records/decode_files.h"
#include "records/decoder_inputs.h"
#include "records/memory_layout.h"
#include "records/model_parameters.h"
#include "records/sample_converter.h"

namespace kestrum {
namespace {

struct SlotTime {
  int minute, hour, day, month, year;
};

std::int32_t ReadAddress(const std::uint8_t* image, const ModelParameters& p, int offset) {
  const std::uint32_t value = AddressAt(image, p.model, static_cast<std::size_t>(offset));
  return static_cast<std::int32_t>(value & p.addressMask);
}

// The header's write pointer, masked.
std::int32_t WritePointer(const std::uint8_t* image, const ModelParameters& p) {
  return static_cast<std::int32_t>(WritePointerOf(image, p.model) & p.addressMask);
}

// End address of slot r as its sample loop uses it, after both substitutions.
std::int32_t SlotEnd(const MeasurementStore& store, const ModelParameters& p, int r, bool& empty) {
  const std::uint8_t* image = store.MemoryImage.data();
  std::int32_t end;
  if (r < kDirectorySlots) {
    end = ReadAddress(image, p, DirectoryEntryOffset(r + 1)) + p.nextStartOffset;
  } else if (p.slot27EndFromHeader) {
    end = ReadAddress(image, p, kSlot27EndByte);
  } else {
    end = WritePointer(image, p) + p.writePointerOffset;
  }
  if (r == store.DirectorySlot - 1) end = WritePointer(image, p) + p.writePointerOffset;
  if (end < p.lowestValidAddress || end > p.highestValidEnd) empty = true;
  if (r == store.DirectorySlot) end = store.FinalAddress;
  return end;
}

SlotTime ReadSlotTime(const std::uint8_t* image, const ModelParameters& p, int r) {
  const std::uint8_t* t = image + DirectoryEntryOffset(r) + p.addressBytes;
  return {BcdToByte(t[0]), BcdToByte(t[1]), BcdToByte(t[2]), BcdToByte(t[3]),
          2000 + BcdToByte(t[4])};
}

bool TimeFieldsInRange(const SlotTime& t) {
  return t.minute <= 60 && t.hour <= 24 && t.day >= 1 && t.day <= 31 && t.month >= 1 &&
         t.month <= 12;
}

// Samples the loop reads: k = 1, 1 + size, ... while start - k >= end + margin.
std::int32_t ReadCount(const ModelParameters& p, std::int32_t start, std::int32_t end) {
  const std::int32_t span = start - 1 - end - p.readMargin;
  return span < 0 ? 0 : span / p.sampleSize + 1;
}

void AppendDiagnosticEntry(std::string& memo, std::int32_t start, std::int32_t end,
                           const SlotTime& t, bool empty) {
  memo += '\f';
  memo += std::to_string(start) + ", " + std::to_string(end) + ", " + std::to_string(t.year) +
          ", " + std::to_string(t.month) + ", " + std::to_string(t.day) + ", " +
          std::to_string(t.hour);
  memo += empty ? ", empty" : ", OK";
}

// Stable insertion sort by start time through RunSortArea; equal start times
// keep their slot order.
void SortRuns(MeasurementStore& store) {
  auto& area = store.RunSortArea;
  for (std::int32_t i = 0; i < store.RunCount; ++i) {
    const RunEntry entry = store.Runs[i];
    std::int32_t j = i;
    while (j > 0 && area[j - 1].StartTime > entry.StartTime) {
      area[j] = area[j - 1];
      --j;
    }
    area[j] = entry;
  }
  for (std::int32_t i = 0; i < kRunCapacity; ++i) {
    store.Runs[i] = i < store.RunCount ? area[i] : RunEntry{};
  }
}

// Packs the runs' samples in run order through SampleScratch and fills the
// item texts. Only the packed records are copied back (the rest of the store
// is meaningless), and runs that already lie packed in place are not copied.
void PackRuns(MeasurementStore& store, std::vector<std::string>& items,
              const DateTimeSeparators& separators) {
  bool inPlace = true;
  std::int32_t q = 0;
  for (std::int32_t i = 0; i < store.RunCount; ++i) {
    const RunEntry& run = store.Runs[i];
    inPlace = inPlace && run.FirstSample == q;
    q += std::max(0, run.LastSample - run.FirstSample + 1);
  }

  q = 0;
  for (std::int32_t i = 0; i < store.RunCount; ++i) {
    RunEntry& run = store.Runs[i];
    const std::int32_t q0 = q;
    const std::int32_t count = std::max(0, run.LastSample - run.FirstSample + 1);
    if (!inPlace) {
      std::copy_n(store.Samples.begin() + run.FirstSample, count, store.SampleScratch.begin() + q);
    }
    q += count;
    run.FirstSample = q0;
    run.LastSample = q - 1;
    items.push_back(RunItemText(run, separators));
  }
  if (!inPlace) std::copy_n(store.SampleScratch.begin(), q, store.Samples.begin());
  store.LastSampleIndex = q - 1;
}

void WriteDecodeFiles(const MeasurementStore& store, const ModelParameters& p,
                      const DecodeContext& context, DecodeResult& result) {
  const std::string k5dat = PathInFolder(context.outputDirectory, kK5datFileName);
  result.filesWritten = WriteFileReplacing(k5dat, K5datText(store, context.separators));
  if (!result.filesWritten) {
    result.failedFile = k5dat;
    return;
  }
  if (!p.writesDiagnosticText) return;
  const std::string debug = PathInFolder(context.outputDirectory, kDebugFileName);
  result.filesWritten = WriteFileReplacing(debug, DebugText(store));
  if (!result.filesWritten) result.failedFile = debug;
}

}  // namespace

std::string RunItemText(const RunEntry& run, const DateTimeSeparators& separators) {
  const Extended hours = static_cast<Extended>(run.LastSample - run.FirstSample + 1) / 24.0L;
  const auto end = static_cast<DateTime>(static_cast<Extended>(run.StartTime) + hours);
  return FormatRunStart(run.StartTime, separators) + " TO " + FormatRunEnd(end, separators);
}

DecodeResult DecodeImageAs(InstrumentModel model, MeasurementStore& store,
                           const DecodeContext& context) {
  const ModelParameters& p = ParametersOf(model);
  const std::uint8_t* image = store.MemoryImage.data();
  DecodeResult result;
  result.model = model;

  store.Runs.fill(RunEntry{});
  store.RunSortArea.fill(RunEntry{});
  store.RunCount = 0;
  std::int32_t f = 0;
  const auto converter = std::make_unique<SampleConverter>(
      p.sensors, store.CalibrationFactor,
      PressureCoefficients{store.PressureCoefficientA0, store.PressureCoefficientB1,
                           store.PressureCoefficientB2, store.PressureCoefficientC12});

  for (int r = 1; r <= kDirectorySlots; ++r) {
    const std::int32_t start = ReadAddress(image, p, DirectoryEntryOffset(r));
    bool empty = start < p.lowestValidAddress || start > p.highestValidStart;
    const std::int32_t end = SlotEnd(store, p, r, empty);
    // An end above the start or below the data area would read outside it or
    // move the sample index backwards.
    if (end >= start || end < p.lowestValidAddress) empty = true;

    const SlotTime t = ReadSlotTime(image, p, r);
    if (!TimeFieldsInRange(t)) empty = true;

    const std::int32_t count = empty ? 0 : (start - end) / p.sampleSize;
    const std::int32_t reads = empty ? 0 : ReadCount(p, start, end);
    // Overlapping runs of a damaged image could hold more samples than the store.
    if (!empty && reads > kSampleCapacity - f) empty = true;

    if (p.writesDiagnosticText) AppendDiagnosticEntry(store.diagnosticText, start, end, t, empty);
    if (empty) continue;

    const std::optional<DateTime> date = TryEncodeDate(t.year, t.month, t.day);
    const std::optional<DateTime> time = TryEncodeTime(t.hour, t.minute, 0, 0);
    if (!date || !time) {
      if (result.dateTimeError.empty())
        result.dateTimeError = !date ? kDateEncodeError : kTimeEncodeError;
      continue;
    }
    const DateTime startTime = *date + *time;
    if (p.futureStartCheck && !context.keepFutureRuns && startTime - context.now > kOneMillisecond)
      continue;

    store.Runs[store.RunCount] = {f, f + count + p.lastIndexOffset, startTime};
    for (std::int32_t n = 0; n < reads; ++n) {
      converter->Convert(image, start - 1 - n * p.sampleSize, n, startTime, store.Samples[f + n]);
    }
    f += count;
    ++store.RunCount;
  }

  SortRuns(store);
  PackRuns(store, result.itemTexts, context.separators);
  if (store.RunCount >= 1) {
    result.foundRuns = true;
    store.Runs[store.RunCount] = {store.Runs[0].FirstSample,
                                  store.Runs[store.RunCount - 1].LastSample,
                                  store.Runs[0].StartTime};
  }
  if (context.writeFiles) WriteDecodeFiles(store, p, context, result);
  return result;
}

DecodeResult DecodeImageK5(MeasurementStore& store, const DecodeContext& context) {
  return DecodeImageAs(InstrumentModel::K5, store, context);
}

DecodeResult DecodeImageK6(MeasurementStore& store, const DecodeContext& context) {
  return DecodeImageAs(InstrumentModel::K6, store, context);
}

DecodeResult DecodeImageK7(MeasurementStore& store, const DecodeContext& context) {
  return DecodeImageAs(InstrumentModel::K7, store, context);
}

DecodeResult DecodeImageK8(MeasurementStore& store, const DecodeContext& context) {
  return DecodeImageAs(InstrumentModel::K8, store, context);
}

std::optional<DecodeResult> DecodeImage(MeasurementStore& store, const DecodeContext& context) {
  const std::optional<InstrumentModel> model = ModelFromMarker(store.MemoryImage[0]);
  if (!model) return std::nullopt;
  return DecodeImageAs(*model, store, context);
}

}  // namespace kestrum
