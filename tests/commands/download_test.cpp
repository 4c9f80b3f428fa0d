// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/measurement_download.h"
#include "download_ends.h"
#include "records/decoder_inputs.h"
#include "records/open_data_file.h"

namespace kestrum::testing {
namespace {

constexpr DateTime kLongAfter = 47000;  // 2028: every generated run lies before it

class DownloadTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    store = std::make_unique<MeasurementStore>();
    settings.directory = folder;
    settings.decode.now = kLongAfter;
    settings.decode.outputDirectory = folder;
  }

  DownloadOutcome Download() { return DownloadMeasurements(*store, settings, window); }

  // What decoding `image` as an opened file gives: the runs the download must show.
  static std::vector<std::string> RunsOf(const Bytes& image) {
    auto reference = std::make_unique<MeasurementStore>();
    DecodeContext context;
    context.now = kLongAfter;
    context.writeFiles = false;
    const Result<OpenedFile> opened =
        OpenImageBytes(image.data(), image.size(), "x", *reference, context);
    EXPECT_TRUE(opened->decode.foundRuns);
    return opened->decode.itemTexts;
  }

  Bytes StoreImage(std::size_t count) const {
    return Bytes(store->MemoryImage.begin(), store->MemoryImage.begin() + count);
  }

  std::unique_ptr<MeasurementStore> store;
  DownloadSettings settings;
};

// A recognisable table after the K7/K8 header: word k = 0x0102 + k.
void MarkWordTable(Bytes& memory) {
  for (int k = 0; k < 256; ++k) {
    const int word = 0x0102 + k;
    memory[256 + 2 * k] = static_cast<std::uint8_t>(word >> 8);
    memory[257 + 2 * k] = static_cast<std::uint8_t>(word);
  }
}

TEST_F(DownloadTest, K8TakesTheWholeMemoryAndTheCoefficientsAndDecodes) {
  Bytes memory = Generated(InstrumentModel::K8);
  MarkWordTable(memory);
  memory[0] = 0x99;  // the instrument's own byte 0 is replaced by the marker
  Attach(InstrumentModel::K8, "", memory);

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(trace, (Lines{"open SERK8 -> 0", "data 8 0 0 -> 0", "flow 0 17 19 -> 0",
                          "baud 230400 -> 0", "write A3 4D 0A -> 3", "read 131072 -> 131072",
                          "purge rx -> 0", "purge tx -> 0", "sleep 25", "write A3 50 0A -> 3",
                          "sleep 1", "read 8 -> 8", "sleep 1", "close -> 0"}));
  // 131,075 bytes at 230,400 baud take 5.69 s on the line.
  EXPECT_GT(NowMs(), 5689);
  EXPECT_LT(NowMs(), 5800);

  Bytes expected = memory;
  expected[0] = '4';
  ASSERT_EQ(EndOf(outcome), "decoded");
  EXPECT_TRUE(SameBytes(StoreImage(131072), expected));
  EXPECT_EQ(store->CalibrationFactor, memory[7] + memory[8] / 100.0L);
  EXPECT_EQ(store->DirectorySlot, memory[6] / 8);
  EXPECT_EQ(store->FinalAddress, memory[1] * 65536 + memory[2] * 256 + memory[3]);
  EXPECT_EQ(store->PressureCoefficientA0, DecodePressureCoefficients(&memory[9]).A0);
  EXPECT_EQ(store->PressureCoefficientC12, DecodePressureCoefficients(&memory[9]).C12);

  ASSERT_NE(DecodedOf(outcome), nullptr);
  EXPECT_EQ(DecodedOf(outcome)->model, InstrumentModel::K8);
  EXPECT_EQ(DecodedOf(outcome)->decode.itemTexts, RunsOf(expected));
  EXPECT_EQ(store->RunCount, 3);

  EXPECT_EQ(ReadFile("RN4.tmp"), std::string(expected.begin(), expected.end()));
  const std::string table = ReadFile("K84E.csv");
  EXPECT_EQ(table.substr(0, 10), "258,\r\n259,");
  EXPECT_EQ(table.substr(table.size() - 6), "513,\r\n");  // 0x0102 + 255
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 256);
  EXPECT_FALSE(FileExists("K5C.tmp"));
  EXPECT_FALSE(FileExists("K7E.csv"));

  EXPECT_EQ(window.events, (Lines{"status Transfering measurements", "repaint", "transfer 131072",
                                  "transfer end", "status ", "repaint"}));
  EXPECT_FALSE(DownloadOffersTriggerLevel(outcome));  // the K8 keeps none
}

TEST_F(DownloadTest, K5DecodesNibblesAndTakesTheLastNibbleFromTheBuffer) {
  Bytes memory = Generated(InstrumentModel::K5);
  memory[0] = 0x99;
  memory[8191] = 0xAB;
  memory[9] = 0x5E;  // lands in parameter byte 9 through the buffer
  auto k5 = Attach(InstrumentModel::K5, "USB <-> Serial", memory);
  k5->State().nibble_high_bits = 0x30;  // only the low nibbles count
  store->MemoryImage.fill(0x77);        // bytes above 8,191 keep this
  FTInBuffer[16383] = 0x0C;             // what an earlier read left there

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(trace,
            (Lines{"open SERK5 -> 0", "write F3 3F -> 2", "sleep 25", "read 1 -> 1", "sleep 25",
                   "purge rx -> 0", "write F3 3F -> 2", "sleep 25", "read 2 -> 2", "sleep 25",
                   "write 04 0D -> 2", "sleep 25", "read 16383 -> 16383", "sleep 100",
                   "write 03 00 -> 2", "read 18 -> 18", "close -> 0"}));
  ASSERT_EQ(EndOf(outcome), "decoded");
  EXPECT_EQ(outcome.modelCode, 0x31);

  Bytes expected = memory;
  expected[0] = '1';
  expected[8191] = 0xAC;
  EXPECT_TRUE(SameBytes(StoreImage(8192), expected));
  EXPECT_EQ(store->MemoryImage[8192], 0x77);
  EXPECT_EQ(store->MemoryImage[131071], 0x77);
  EXPECT_EQ(store->FinalAddress, memory[2] * 256 + memory[3]);
  EXPECT_EQ(store->DirectorySlot, memory[6] / 8);

  // Parameter bytes 0-8 from the reply (the emulator's 0x10..0x18), byte 9
  // from wire bytes 18 and 19 of the memory reply.
  EXPECT_EQ(Bytes(ParameterBlock.begin(), ParameterBlock.begin() + 11),
            (Bytes{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x5E, 0x00}));
  const std::string parameters = ReadFile("K5C.tmp");
  ASSERT_EQ(parameters.size(), 1024u);
  EXPECT_EQ(parameters[9], 0x5E);
  EXPECT_EQ(parameters[1023], 0);
  EXPECT_EQ(ReadFile("K5.tmp"), std::string(expected.begin(), expected.end()));
  EXPECT_FALSE(FileExists("K7E.csv"));

  ASSERT_NE(DecodedOf(outcome), nullptr);
  EXPECT_EQ(DecodedOf(outcome)->decode.itemTexts, RunsOf(expected));
  EXPECT_EQ(window.events,
            (Lines{"status Connecting", "repaint", "status Transfering measurements", "repaint",
                   "transfer 16383", "transfer end", "status ", "repaint"}));
  EXPECT_TRUE(DownloadOffersTriggerLevel(outcome));
}

TEST_F(DownloadTest, K6WaitsLongerAroundTheParameterBlock) {
  const Bytes memory = Generated(InstrumentModel::K6);
  Attach(InstrumentModel::K6, "USB <-> Serial Cable", memory);

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(trace,
            (Lines{"open SERK6 -> 0", "write F3 3F -> 2", "sleep 25", "read 1 -> 1", "sleep 25",
                   "purge rx -> 0", "write F3 3F -> 2", "sleep 25", "read 2 -> 2", "sleep 25",
                   "write 04 0D -> 2", "sleep 25", "read 65535 -> 65535", "sleep 250",
                   "write 03 00 -> 2", "sleep 25", "read 18 -> 18", "close -> 0"}));
  ASSERT_EQ(EndOf(outcome), "decoded");
  Bytes expected = memory;
  expected[32767] = memory[32767] & 0xF0;  // the buffer held zero there
  EXPECT_TRUE(SameBytes(StoreImage(32768), expected));
  EXPECT_EQ(ReadFile("K6.tmp").size(), 32768u);
  EXPECT_EQ(DecodedOf(outcome)->decode.itemTexts, RunsOf(expected));
}

TEST_F(DownloadTest, K7ShiftsTheCoefficientsByOneAndKeepsTheLastByte) {
  Bytes memory = Generated(InstrumentModel::K7);
  MarkWordTable(memory);
  memory[0] = 0x99;
  memory[131071] = 0x42;  // never sent
  Attach(InstrumentModel::K7, "", memory);
  store->MemoryImage[131071] = 0x5A;

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(trace, (Lines{"open SERK7 -> 0",
                          "write F3 3F -> 2",
                          "sleep 25",
                          "read 1 -> 1",
                          "sleep 25",
                          "purge rx -> 0",
                          "write F3 3F -> 2",
                          "sleep 25",
                          "read 2 -> 2",
                          "sleep 25",
                          "write 4D -> 1",
                          "sleep 10",
                          "read 131071 -> 131071",
                          "sleep 10",
                          "write 30 -> 1",
                          "sleep 10",
                          "read 9 -> 9",
                          "write 50 -> 1",
                          "sleep 10",
                          "read 8 -> 8",
                          "close -> 0"}));
  ASSERT_EQ(EndOf(outcome), "decoded");

  // Bytes 1-7 of the coefficient reply, then byte 8 of the parameter reply
  // (0x18), which the 8-byte read leaves in the buffer.
  const Bytes reply = LastReply();
  ASSERT_EQ(reply.size(), 8u);
  Bytes expected = memory;
  expected[0] = '3';
  expected[131071] = 0x5A;
  std::copy(reply.begin() + 1, reply.end(), expected.begin() + 9);
  expected[16] = 0x18;
  EXPECT_TRUE(SameBytes(StoreImage(131072), expected));
  EXPECT_EQ(store->PressureCoefficientB1, DecodePressureCoefficients(&expected[9]).B1);
  // Parameter byte 9 is memory byte 9, left in the buffer by the memory reply.
  EXPECT_EQ(ParameterBlock[8], 0x18);
  EXPECT_EQ(ParameterBlock[9], memory[9]);

  EXPECT_EQ(ReadFile("K7.tmp"), std::string(expected.begin(), expected.end() - 1));
  EXPECT_EQ(ReadFile("K7E.csv").substr(0, 6), "258,\r\n");
  EXPECT_EQ(ReadFile("K5C.tmp").size(), 1024u);
  EXPECT_FALSE(FileExists("RN4.tmp"));
  EXPECT_EQ(DecodedOf(outcome)->decode.itemTexts, RunsOf(expected));
}

TEST_F(DownloadTest, ConvertersForClockAndEraseOnlyGetNothing) {
  for (const char* description : {"FT230X Basic UART", "USB <-> Serial Converter"}) {
    SCOPED_TRACE(description);
    bus.ClearLog();
    trace.clear();
    window.events.clear();
    Attach(InstrumentModel::K5, description);

    const DownloadOutcome outcome = Download();

    EXPECT_EQ(EndOf(outcome), "refused");
    EXPECT_TRUE(bus.Log().empty());
    EXPECT_EQ(trace, (Lines{"close -> 1"}));
    EXPECT_EQ(window.events, (Lines{"repaint"}));
    EXPECT_FALSE(DownloadReachedTheDevice(outcome));
    bus.Unplug("SERK5");
  }
}

TEST_F(DownloadTest, DetachedInstrumentIsOpenedAndClosedOnly) {
  Attach(InstrumentModel::K8);
  InstrumentAttached = false;
  const DownloadOutcome outcome = Download();
  EXPECT_EQ(EndOf(outcome), "not opened");
  EXPECT_EQ(trace, (Lines{"open SERK8 -> 0", "close -> 0"}));
  EXPECT_FALSE(DownloadReachedTheDevice(outcome));
}

TEST_F(DownloadTest, UnknownModelCodeChangesNothing) {
  // An earlier K6 file is in the store, the window has set the factor back to 6.
  const Bytes earlier = Generated(InstrumentModel::K6, 9);
  DecodeContext context;
  context.now = kLongAfter;
  context.writeFiles = false;
  ASSERT_TRUE(OpenImageBytes(earlier.data(), earlier.size(), "earlier.Rn", *store, context).ok());
  store->CalibrationFactor = 6.0L;
  auto k7 = Attach(InstrumentModel::K7);
  k7->AnswerWrong({0x03, 0x09});  // the first query
  k7->AnswerWrong({0x03, 0x09});  // the identify exchange: code 0x39

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(EndOf(outcome), "unknown model");
  EXPECT_EQ(outcome.modelCode, 0x39);
  EXPECT_EQ(DownloadErrorBox(outcome),
            "The instrument answered with an unknown model code 0x39; nothing was changed");
  EXPECT_EQ(bus.BytesWritten(), (Bytes{0xF3, 0x3F, 0xF3, 0x3F}));
  // The earlier image, its decoder inputs and runs stay; no copy is written.
  EXPECT_TRUE(SameBytes(StoreImage(earlier.size()), earlier));
  EXPECT_EQ(store->CalibrationFactor, 6.0L);
  EXPECT_EQ(store->RunCount, static_cast<std::int32_t>(RunsOf(earlier).size()));
  EXPECT_EQ(DecodedOf(outcome), nullptr);
  EXPECT_FALSE(DownloadOffersTriggerLevel(outcome));
  EXPECT_FALSE(FileExists("K5C.tmp"));
  EXPECT_FALSE(FileExists("K6.tmp"));
  EXPECT_EQ(window.status, "");
  EXPECT_TRUE(DownloadReachedTheDevice(outcome));
  EXPECT_FALSE(bus.IsOpen("SERK7"));
}

TEST_F(DownloadTest, UnknownModelCodeOverAK8ImageDecodesNothing) {
  const Bytes earlier = Generated(InstrumentModel::K8, 9);
  std::copy(earlier.begin(), earlier.end(), store->MemoryImage.begin());
  auto k5 = Attach(InstrumentModel::K5);
  k5->AnswerWrong({0x00, 0x00});
  k5->AnswerWrong({0x00, 0x00});

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(EndOf(outcome), "unknown model");
  EXPECT_EQ(DecodedOf(outcome), nullptr);
  EXPECT_FALSE(FileExists("K5C.tmp"));
  EXPECT_FALSE(FileExists("RN4.tmp"));
}

}  // namespace
}  // namespace kestrum::testing
