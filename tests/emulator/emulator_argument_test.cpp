// SPDX-License-Identifier: GPL-3.0-or-later
// The --emulate argument and the instruments built from it.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "emulator/emulated_instrument_factory.h"
#include "emulator/emulation_setup.h"
#include "emulator/emulator_argument.h"
#include "link/d2xx_unit.h"

namespace kestrum {
namespace {

TEST(EmulatorArgumentTest, ModelAloneTakesTheDefaultDescription) {
  auto k8 = ParseEmulatorArgument("K8");
  ASSERT_TRUE(k8);
  EXPECT_EQ(k8->model, InstrumentModel::K8);
  EXPECT_EQ(k8->description, "USB <-> K8");
  EXPECT_EQ(k8->file, "");
  for (const char* name : {"K5", "K6", "K7"}) {
    auto parsed = ParseEmulatorArgument(name);
    ASSERT_TRUE(parsed) << name;
    EXPECT_EQ(parsed->description, "USB <-> K5") << name;
  }
  EXPECT_EQ(ParseEmulatorArgument("K6")->model, InstrumentModel::K6);
}

TEST(EmulatorArgumentTest, FileAndDescriptionAreSplitAtTheLastAt) {
  auto parsed = ParseEmulatorArgument("K7:/home/a@b/run 1.Rn@USB <-> Serial Cable");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->model, InstrumentModel::K7);
  EXPECT_EQ(parsed->file, "/home/a@b/run 1.Rn");
  EXPECT_EQ(parsed->description, "USB <-> Serial Cable");

  parsed = ParseEmulatorArgument("K5:samples/k5.Rn");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->file, "samples/k5.Rn");
  EXPECT_EQ(parsed->description, "USB <-> K5");

  parsed = ParseEmulatorArgument("K6@FT230X Basic UART");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->file, "");
  EXPECT_EQ(parsed->description, "FT230X Basic UART");
}

TEST(EmulatorArgumentTest, MalformedArgumentsAreRefusedWithAReason) {
  for (const char* text : {"", "K9", "k8", "K8x", "K8:", "K8@", "K7:@USB <-> K5", ":x.Rn"}) {
    const Result<EmulatorArgument> parsed = ParseEmulatorArgument(text);
    EXPECT_FALSE(parsed) << text;
    EXPECT_FALSE(parsed.error().empty()) << text;
  }
}

TEST(EmulatedInstrumentFactoryTest, GeneratedMemoryHasTheModelsSizeAndMarker) {
  EmulatorArgument parsed;
  parsed.model = InstrumentModel::K6;
  parsed.description = "USB <-> K5";
  auto made = MakeEmulatedInstrument(parsed, 2);
  ASSERT_TRUE(made) << made.error();
  const auto& instrument = made.value();
  EXPECT_EQ(instrument->Serial(), "EMUK6002");
  EXPECT_EQ(instrument->Description(), "USB <-> K5");
  EXPECT_EQ(instrument->State().memory.size(), 32768u);
  EXPECT_EQ(instrument->State().memory[0], '2');
  EXPECT_EQ(instrument->LineBaud(), 9600u);
}

class FactoryFileTest : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(path_.c_str()); }
  void WriteFile(std::size_t size, std::uint8_t marker) {
    std::vector<char> bytes(size, 0x11);
    if (size > 0) bytes[0] = static_cast<char>(marker);
    std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<long>(size));
  }
  std::string path_ = ::testing::TempDir() + "emulator_factory_test.Rn";
};

TEST_F(FactoryFileTest, MemoryIsTakenFromAFileOfTheRightSize) {
  std::vector<char> bytes(131072);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 251);
  bytes[0] = '4';
  std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
  auto made = MakeEmulatedInstrument({InstrumentModel::K8, path_, "USB <-> K8"}, 1);
  ASSERT_TRUE(made) << made.error();
  const auto& instrument = made.value();
  EXPECT_EQ(instrument->State().memory[130000], 130000 % 251);
  // The pressure coefficients come from bytes 9 to 16 of the file.
  EXPECT_EQ(instrument->State().pressure_coefficients[0], 9);
  EXPECT_EQ(instrument->State().pressure_coefficients[7], 16);
}

TEST_F(FactoryFileTest, WrongSizeWrongModelOrMissingFileIsRefused) {
  WriteFile(8191, '1');
  auto made = MakeEmulatedInstrument({InstrumentModel::K5, path_, "USB <-> K5"}, 1);
  EXPECT_FALSE(made);
  EXPECT_NE(made.error().find("8191"), std::string::npos);
  WriteFile(131072, '4');
  made = MakeEmulatedInstrument({InstrumentModel::K7, path_, "USB <-> K5"}, 1);
  EXPECT_FALSE(made);
  EXPECT_NE(made.error().find("K8"), std::string::npos);
  EXPECT_FALSE(MakeEmulatedInstrument({InstrumentModel::K7, path_ + ".none", "USB <-> K5"}, 1));
}

TEST(EmulationSetupTest, InstallsTheBusAsDriverWithNumberedInstruments) {
  auto started = StartEmulation({"K5", "K8@USB <-> K8"}, TimeMode::kInstant);
  ASSERT_TRUE(started) << started.error();
  const auto& bus = started.value();
  EXPECT_EQ(CurrentFtDriver(), bus.get());
  ASSERT_EQ(GetFTDeviceCount(), FT_OK);
  EXPECT_EQ(FTDeviceCount, 2u);
  GetFTDeviceSerialNo(1);
  EXPECT_EQ(FTDeviceString, "EMUK8002");
  StopEmulation();
  EXPECT_EQ(CurrentFtDriver(), nullptr);

  EXPECT_FALSE(StartEmulation({"K8", "K4"}, TimeMode::kInstant));
  EXPECT_EQ(CurrentFtDriver(), nullptr);
}

}  // namespace
}  // namespace kestrum
