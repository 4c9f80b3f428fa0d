#include "commands/measurement_download.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string_view>

#include "commands/command_cycle.h"
#include "commands/download_files.h"
#include "commands/parameter_block.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/nibble_coding.h"
#include "link/port_wait.h"
#include "records/checked_file.h"
#include "records/decoder_inputs.h"
#include "records/whole_number_text.h"

namespace kestrum {
namespace {

constexpr std::uint32_t kK8MemoryReply = 131072;
constexpr std::uint32_t kK5MemoryReply = 16383;
constexpr std::uint32_t kK6MemoryReply = 65535;
constexpr std::uint32_t kK7MemoryReply = 131071;
constexpr std::uint32_t kNibbleParameterReply = 18;
constexpr std::uint32_t kK7ParameterReply = 9;
constexpr std::uint32_t kCoefficientReply = 8;

using Image = std::array<std::uint8_t, kMemoryImageBytes>;

// What a download has received so far. The store is only changed once every
// reply has arrived, so a transfer that breaks off leaves the measurements on
// screen, the image and the decoder inputs as they were.
struct Received {
  explicit Received(const MeasurementStore& store)
      : image(std::make_unique<Image>(store.MemoryImage)), parameters(ParameterBlock) {}
  std::unique_ptr<Image> image;
  std::array<std::uint8_t, kParameterBlockBytes> parameters;
  std::optional<PressureCoefficients> coefficients;
};

class Download {
 public:
  Download(MeasurementStore& store, const DownloadSettings& settings, CommandWindow& window)
      : store_(store), settings_(settings), window_(window) {}

  DownloadOutcome Run();

 private:
  void RunK8();
  void RunK5ToK7();
  bool TransferK5OrK6(Received& received, std::uint32_t reply, int imageBytes, std::uint8_t marker,
                      int waitBeforeParameters, int waitForParameters);
  bool TransferK7(Received& received);

  // False (and the outcome set to kIncomplete) when the command did not go
  // out whole: the instrument has gone.
  bool Send(std::initializer_list<std::uint8_t> bytes);
  // The memory read, announced to the window for its progress display.
  bool ReadMemory(std::uint32_t count);
  // False (and the outcome set to kIncomplete) when fewer bytes came.
  bool ReadInFull(std::uint32_t count);
  void NoteIncomplete(std::uint32_t received, std::uint32_t requested);
  bool WriteTable(const char* name, const Image& image);
  // A copy that cannot be written is reported in the status text; the
  // download itself still counts.
  void WriteCopy(const char* name, const std::uint8_t* bytes, std::size_t count);
  void Commit(const Received& received, InstrumentModel model);
  void Decode(InstrumentModel model);
  // Clears the status text (or shows the copies that could not be written)
  // and enables the download button again.
  void Finish();

  std::string Path(const char* name) const { return DownloadFilePath(settings_.directory, name); }

  MeasurementStore& store_;
  const DownloadSettings& settings_;
  CommandWindow& window_;
  DownloadOutcome outcome_;
  std::string copyErrors_;
};

DownloadOutcome Download::Run() {
  window_.SetDownloadButtonEnabled(false);
  window_.SetTemperatureHumidityEnabled(false);
  if (!IsDownloadDescription(SelectedInstrument.Description)) {
    outcome_.end = DownloadEnd::kRefusedDescription;
  } else if (SelectedInstrumentIsK8()) {
    RunK8();
  } else {
    RunK5ToK7();
  }
  window_.RepaintStatusBar();
  CloseFTDevice();
  return outcome_;
}

void Download::RunK8() {
  if (!OpenSelectedInstrument()) {
    outcome_.end = DownloadEnd::kNotOpened;
    return;
  }
  K8LineSetup();
  if (!Send({0xA3, 0x4D, 0x0A})) return Finish();
  window_.SetStatusPanel1Text(kTransferingText);
  window_.RepaintStatusBar();
  if (!ReadMemory(kK8MemoryReply)) return Finish();

  Received received(store_);
  Image& image = *received.image;
  std::copy_n(FTInBuffer.begin(), kK8MemoryReply, image.begin());
  image[0] = ModelMarkerOf(InstrumentModel::K8);

  PurgeFTReceive();
  PurgeFTTransmit();
  WaitMilliseconds(25);
  if (!Send({0xA3, 0x50, 0x0A})) return Finish();
  WaitMilliseconds(1);
  const bool coefficientsArrived = ReadInFull(kCoefficientReply);
  WaitMilliseconds(1);
  if (!coefficientsArrived) return Finish();
  std::copy_n(FTInBuffer.begin(), kCoefficientReply, image.begin() + 9);
  received.coefficients = DecodePressureCoefficients(FTInBuffer.data());

  // Every reply is in: only now are files written and the store changed.
  if (!WriteTable(kK8TableFile, image)) return Finish();
  Commit(received, InstrumentModel::K8);
  WriteCopy(kK8ImageCopyFile, store_.MemoryImage.data(), kMemoryImageBytes);
  Finish();
  Decode(InstrumentModel::K8);
}

void Download::RunK5ToK7() {
  if (!OpenSelectedInstrument()) {
    outcome_.end = DownloadEnd::kNotOpened;
    return;
  }
  window_.SetStatusPanel1Text(kConnectingText);
  window_.RepaintStatusBar();
  // A first query whose answer is thrown away wakes the instrument up.
  if (!Send({0xF3, 0x3F})) return Finish();
  WaitMilliseconds(25);
  ReadFTDevice(1);
  WaitMilliseconds(25);
  PurgeFTReceive();
  std::uint32_t identified = 0;
  outcome_.modelCode = IdentifyExchange(&identified);
  WaitMilliseconds(25);
  // An instrument that does not answer at all is a broken transfer, not an
  // unknown model: nothing is shown or written again.
  if (identified < kIdentifyReply) {
    NoteIncomplete(identified, kIdentifyReply);
    return Finish();
  }

  Received received(store_);
  std::optional<InstrumentModel> transferred;
  switch (outcome_.modelCode) {
    case kModelCodeK5:
      if (!TransferK5OrK6(received, kK5MemoryReply, ImageLengthOf(InstrumentModel::K5),
                          kModelCodeK5, 100, 0)) {
        return Finish();
      }
      transferred = InstrumentModel::K5;
      break;
    case kModelCodeK6:
      if (!TransferK5OrK6(received, kK6MemoryReply, ImageLengthOf(InstrumentModel::K6),
                          kModelCodeK6, 250, 25)) {
        return Finish();
      }
      transferred = InstrumentModel::K6;
      break;
    case kModelCodeK7:
      if (!TransferK7(received)) return Finish();
      transferred = InstrumentModel::K7;
      break;
    default:
      // Whatever answered is no instrument we know: nothing is touched.
      outcome_.end = DownloadEnd::kUnknownModel;
      outcome_.error = UnknownModelText(outcome_.modelCode);
      return Finish();
  }
  const InstrumentModel model = *transferred;
  if (model == InstrumentModel::K7 && !WriteTable(kK7TableFile, *received.image)) return Finish();

  std::copy(received.parameters.begin(), received.parameters.end(), ParameterBlock.begin());
  store_.MemoryImage = *received.image;
  if (received.coefficients) SetPressureCoefficients(store_, *received.coefficients);
  store_.DirectorySlot = DirectorySlotOf(store_);
  store_.CalibrationFactor = CalibrationFactorOf(store_);
  window_.ShowLevelButton();
  WriteCopy(kParameterCopyFile, ParameterBlock.data(), kParameterBlockBytes);
  static const char* const kCopyFiles[] = {kK5ImageCopyFile, kK6ImageCopyFile, kK7ImageCopyFile};
  // A K7 download fills 131,071 bytes; its copy holds just those.
  const int copyBytes =
      model == InstrumentModel::K7 ? static_cast<int>(kK7MemoryReply) : ImageLengthOf(model);
  WriteCopy(kCopyFiles[static_cast<int>(model)], store_.MemoryImage.data(),
            static_cast<std::size_t>(copyBytes));
  store_.FinalAddress = FinalAddressOf(store_, model);
  Decode(model);
  Finish();
}

bool Download::TransferK5OrK6(Received& received, std::uint32_t reply, int imageBytes,
                              std::uint8_t marker, int waitBeforeParameters,
                              int waitForParameters) {
  window_.SetStatusPanel1Text(kTransferingText);
  window_.RepaintStatusBar();
  if (!Send({0x04, 0x0D})) return false;
  WaitMilliseconds(25);
  if (!ReadMemory(reply)) return false;
  // The reply is one wire byte short of the memory: the last low nibble is
  // whatever the receive buffer held there.
  Image& image = *received.image;
  for (int j = 0; j < imageBytes; ++j) {
    image[static_cast<std::size_t>(j)] = NibbleValue(FTInBuffer[2 * j], FTInBuffer[2 * j + 1]);
  }
  image[0] = marker;

  WaitMilliseconds(waitBeforeParameters);
  if (!Send({0x03, 0x00})) return false;
  if (waitForParameters > 0) WaitMilliseconds(waitForParameters);
  if (!ReadInFull(kNibbleParameterReply)) return false;
  // Ten bytes from nine: the tenth pair still holds memory wire bytes.
  for (int j = 0; j < 10; ++j) {
    received.parameters[static_cast<std::size_t>(j)] =
        NibbleValue(FTInBuffer[2 * j], FTInBuffer[2 * j + 1]);
  }
  return true;
}

bool Download::TransferK7(Received& received) {
  window_.SetStatusPanel1Text(kTransferingText);
  window_.RepaintStatusBar();
  if (!Send({0x4D})) return false;
  WaitMilliseconds(10);
  if (!ReadMemory(kK7MemoryReply)) return false;
  Image& image = *received.image;
  // Byte 0 is the marker; the last byte is not sent and keeps its value.
  std::copy(FTInBuffer.begin() + 1, FTInBuffer.begin() + kK7MemoryReply, image.begin() + 1);
  image[0] = ModelMarkerOf(InstrumentModel::K7);

  WaitMilliseconds(10);
  if (!Send({0x30})) return false;
  WaitMilliseconds(10);
  if (!ReadInFull(kK7ParameterReply)) return false;
  std::copy_n(FTInBuffer.begin(), 10, received.parameters.begin());

  if (!Send({0x50})) return false;
  WaitMilliseconds(10);
  if (!ReadInFull(kCoefficientReply)) return false;
  // The coefficient words are taken from buffer offsets 1 to 8; byte 8 still
  // holds the parameter reply's last byte.
  std::copy_n(FTInBuffer.begin() + 1, kCoefficientReply, image.begin() + 9);
  received.coefficients = DecodePressureCoefficients(FTInBuffer.data() + 1);
  return true;
}

bool Download::Send(std::initializer_list<std::uint8_t> bytes) {
  const auto count = static_cast<std::uint32_t>(bytes.size());
  const std::uint32_t sent = SendBytes(bytes);
  if (sent >= count) return true;
  outcome_.end = DownloadEnd::kIncomplete;
  outcome_.error = UnsentCommandText(sent, count);
  return false;
}

bool Download::ReadMemory(std::uint32_t count) {
  window_.MemoryTransferBegins(count);
  const bool complete = ReadInFull(count);
  window_.MemoryTransferEnds();
  return complete;
}

bool Download::ReadInFull(std::uint32_t count) {
  const std::uint32_t received = ReadFTDevice(count);
  if (received >= count) return true;
  NoteIncomplete(received, count);
  return false;
}

void Download::NoteIncomplete(std::uint32_t received, std::uint32_t requested) {
  outcome_.end = DownloadEnd::kIncomplete;
  outcome_.received = received;
  outcome_.requested = requested;
  switch (LastReadEnd()) {
    case ReadEnd::kCancelled:
      outcome_.end = DownloadEnd::kCancelled;
      outcome_.error = kDownloadCancelledText;
      break;
    case ReadEnd::kBytesLost:
      outcome_.error = BytesLostText(received, requested);
      break;
    default:
      outcome_.error = IncompleteTransferText(received, requested);
      break;
  }
}

bool Download::WriteTable(const char* name, const Image& image) {
  const std::string path = Path(name);
  const std::string error = WriteFileReplacing(path, WordTableText(image.data()));
  if (error.empty()) return true;
  outcome_.end = DownloadEnd::kFileError;
  outcome_.error = path + ": " + error;
  return false;
}

void Download::WriteCopy(const char* name, const std::uint8_t* bytes, std::size_t count) {
  const std::string error =
      WriteFileReplacing(Path(name), std::string_view(reinterpret_cast<const char*>(bytes), count));
  if (error.empty()) return;
  if (!copyErrors_.empty()) copyErrors_ += "; ";
  copyErrors_ += CopyNotWrittenText(name, error);
}

void Download::Commit(const Received& received, InstrumentModel model) {
  store_.MemoryImage = *received.image;
  store_.CalibrationFactor = CalibrationFactorOf(store_);
  store_.DirectorySlot = DirectorySlotOf(store_);
  store_.FinalAddress = FinalAddressOf(store_, model);
  if (received.coefficients) SetPressureCoefficients(store_, *received.coefficients);
}

void Download::Decode(InstrumentModel model) {
  outcome_.decodedModel = model;
  outcome_.decode = DecodeImageAs(model, store_, settings_.decode);
  outcome_.end = DownloadEnd::kDecoded;
}

void Download::Finish() {
  outcome_.copyErrors = copyErrors_;
  window_.SetStatusPanel1Text(copyErrors_);
  window_.SetDownloadButtonEnabled(true);
}

}  // namespace

std::string IncompleteTransferText(std::uint32_t received, std::uint32_t requested) {
  return "The transfer from the Kestrum was incomplete: " + std::to_string(received) + " of " +
         std::to_string(requested) +
         " bytes arrived. Nothing was changed; check the cable and try again.";
}

std::string BytesLostText(std::uint32_t received, std::uint32_t requested) {
  return "The transfer from the Kestrum failed: bytes were lost on the line after " +
         std::to_string(received) + " of " + std::to_string(requested) +
         " bytes. Nothing was changed; try again.";
}

std::string UnsentCommandText(std::uint32_t sent, std::uint32_t count) {
  return "The Kestrum did not take a command: " + std::to_string(sent) + " of " +
         ByteCountText(count) + " went out. Nothing was changed; check the cable and try again.";
}

std::string UnknownModelText(std::uint8_t modelCode) {
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", modelCode);
  return std::string("The instrument answered with an unknown model code ") + code +
         "; nothing was changed";
}

std::string CopyNotWrittenText(const std::string& name, const std::string& error) {
  return "The copy " + name + " was not written: " + error;
}

DownloadOutcome DownloadMeasurements(MeasurementStore& store, const DownloadSettings& settings,
                                     CommandWindow& window) {
  return Download(store, settings, window).Run();
}

}  // namespace kestrum
