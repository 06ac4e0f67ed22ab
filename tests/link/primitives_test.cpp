#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "link/CommandQueue.h"
#include "link/LinkFault.h"
#include "support/SimFixture.h"

namespace zelvar {
namespace primitives_test {

using test::SimFixture;

// Register writes (command 14) in the order the simulator received them.
std::vector<std::pair<int, int>> RegisterWrites(const sim::Programmer& p) {
  std::vector<std::pair<int, int>> out;
  for (const auto& c : p.record.transcript) {
    if (c.op() == 14) out.emplace_back(c.bytes[1], c.bytes[2]);
  }
  return out;
}

struct PrimitiveCase {
  const char* name;
  int model;
  std::function<void()> run;
  std::vector<std::pair<int, int>> registers;  // sent register writes, in order
  std::vector<std::uint8_t> queued;            // bytes left in the queue afterwards
};

class PrimitiveTest : public SimFixture, public ::testing::WithParamInterface<PrimitiveCase> {};

TEST_P(PrimitiveTest, SendsItsRegistersAndQueuesTheRest) {
  const PrimitiveCase& c = GetParam();
  Connect(c.model);
  c.run();
  EXPECT_EQ(RegisterWrites(*prog), c.registers);
  std::vector<std::uint8_t> queued(gLink.CommandBuffer.begin(),
                                   gLink.CommandBuffer.begin() + gLink.CommandCount);
  EXPECT_EQ(queued, c.queued);
  EXPECT_TRUE(prog->record.protocolErrors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrimitiveTest,
    ::testing::Values(
        PrimitiveCase{"Vpp12500", 6200, [] { SetVppVoltage(12500); }, {{18, 0}, {18, 125}}, {27}},
        PrimitiveCase{"Vcc3300", 6200, [] { SetVccVoltage(3300); }, {{19, 33}}, {}},
        PrimitiveCase{"VccTruncates", 6200, [] { SetVccVoltage(4750); }, {{19, 47}}, {}},
        PrimitiveCase{"VppPinMasked", 5149, [] { SelectVppPin(0x85); }, {{20, 5}}, {}},
        PrimitiveCase{"VppPinWhole", 6200, [] { SelectVppPin(0x85); }, {{20, 0x85}}, {}},
        PrimitiveCase{"VppByModelOld", 5149, [] { SelectVppPinByModel(31); }, {{20, 31}}, {}},
        PrimitiveCase{"VppByModelNew", 6200, [] { SelectVppPinByModel(31); }, {{21, 159}}, {27}},
        PrimitiveCase{"VccPin", 6200, [] { SelectVccPin(28); }, {{21, 28}}, {27}},
        PrimitiveCase{"ClockPin", 6200, [] { SelectClockPin(19); }, {{23, 19}}, {}},
        PrimitiveCase{"Reg24", 6200, [] { SetRegister24(30); }, {{24, 30}}, {}},
        PrimitiveCase{"Reg25Queued", 6200, [] { SetRegister25(12); }, {}, {14, 25, 12, 0}},
        PrimitiveCase{"HighVoltageNone",
                      6200,
                      [] { SelectHighVoltagePin(0); },
                      {{18, 0}, {18, 120}, {32, 0}},
                      {}},
        PrimitiveCase{"HighVoltage6400", 6400, [] { SelectHighVoltagePin(0); }, {{32, 0}}, {}},
        PrimitiveCase{"PinsZeroIgnored", 6200, [] { SetPinHigh(0), SetPinLow(0); }, {}, {}},
        PrimitiveCase{"PinLevels",
                      6200,
                      [] { SetPinLevel(true, 5), SetPinLevel(false, 6); },
                      {},
                      {8, 5, 9, 6}},
        PrimitiveCase{"Ports", 6200, [] { WritePort(3, 0x5A); }, {}, {19, 0x5A}},
        PrimitiveCase{"Strobed", 6200, [] { WritePort2Strobed(1, 2); }, {}, {18, 1, 43, 18, 2, 43}},
        PrimitiveCase{"SwitchOn", 6200, [] { SwitchPin(7, true); }, {{26, 7}}, {}},
        PrimitiveCase{"SwitchOff", 6200, [] { SwitchPin(7, false); }, {{27, 7}}, {}},
        PrimitiveCase{"PowerOff",
                      6200,
                      [] { PowerOff(); },
                      {{18, 0}, {18, 0}, {20, 0}, {19, 0}, {21, 0}},
                      {27}},
        PrimitiveCase{"InitHardware",
                      6200,
                      [] { InitHardwareState(); },
                      {{21, 0}, {23, 0}, {22, 0}, {18, 0}, {18, 0}},
                      {27, 14, 25, 15, 0}},
        PrimitiveCase{"FpgaQueued",
                      6200,
                      [] { WriteFpgaReg18Bit7(3), InitFpgaReg20(); },
                      {},
                      {10, 18, 0x83, 10, 20, 0x84}},
        PrimitiveCase{"Fpga27Sent", 6200, [] { SetFpgaReg27(true); }, {}, {}},
        PrimitiveCase{"DriversOld", 5105, [] { EnablePinDrivers(false); }, {}, {}},
        PrimitiveCase{"DriversNew", 6200, [] { EnablePinDrivers(true); }, {{40, 1}}, {}},
        PrimitiveCase{
            "Cmd53And54", 6200, [] { QueueCmd53(5, 1), QueueCmd54(8); }, {}, {53, 5, 1, 54, 8}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimFixture, PrimitivesReachTheProgrammerState) {
  SetVccVoltage(5000);
  SelectVccPin(28);
  SetVppVoltage(12500);
  SelectVppPin(1);
  SelectGndPin(14);
  SetPinHigh(20);
  FlushCommands();
  EXPECT_EQ(prog->VccMillivolts(), 5000);
  EXPECT_EQ(prog->VppMillivolts(), 12500);
  EXPECT_EQ(prog->PinMillivolts(28), 5000);
  EXPECT_EQ(prog->PinMillivolts(1), 12500);
  EXPECT_EQ(prog->PinMillivolts(14), 0);
  EXPECT_EQ(prog->ReadLevel(20), 1);
  EXPECT_EQ(gLink.LastVppMillivolts, 12500);
  SetAllPins(false);
  EXPECT_EQ(prog->ReadLevel(20), 0);
  EXPECT_EQ(gLink.CommandCount, 0u);
}

// VCC above 7 V and VPP above 25 V (or either negative, which would wrap in the register) are
// refused before anything queued goes out; the highest allowed levels are set.
TEST_F(SimFixture, SuppliesOutOfRangeAreRefused) {
  struct Supply {
    void (*set)(int);
    int max;
    std::vector<int> refused;
  };
  const Supply supplies[] = {{SetVccVoltage, 7000, {24800, 7001, -100}},
                             {SetVppVoltage, 25000, {25001, 30000, -100}}};
  for (const Supply& s : supplies) {
    for (const int millivolts : s.refused) {
      gLink.StatusWord = 0;
      fake.log.clear();
      const auto sent = prog->record.transfers;
      PutCmd1(27);  // queued before: it must not go out either
      EXPECT_THROW(s.set(millivolts), SupplyRefused) << millivolts;
      EXPECT_EQ(gLink.StatusWord, 1) << millivolts;
      EXPECT_EQ(prog->record.transfers, sent) << millivolts;
      EXPECT_EQ(gLink.CommandCount, 0u);
      ASSERT_EQ(fake.log.size(), 1u);
      EXPECT_EQ(fake.log[0].colour, kRed);
    }
    s.set(s.max);
    FlushCommands();
  }
  EXPECT_EQ(prog->VccMillivolts(), 7000);
  EXPECT_EQ(prog->VppMillivolts(), 25000);
  EXPECT_TRUE(prog->record.hazards.empty());
}

TEST_F(SimFixture, FpgaWritesReachTheRegisters) {
  WriteFpgaReg29(6);
  SetFpgaReg27(true);
  EXPECT_EQ(prog->fpga[29], 6);
  EXPECT_EQ(prog->fpga[27], 255);
}

struct GndCase {
  int model;
  std::uint32_t pin;
  std::vector<std::pair<int, int>> registers;
  std::vector<std::vector<std::uint8_t>> fpgaWrites;
  std::vector<std::uint8_t> queued;
};

class GndTest : public SimFixture, public ::testing::WithParamInterface<GndCase> {};

TEST_P(GndTest, ChoosesGroundByModel) {
  const GndCase& c = GetParam();
  Connect(c.model);
  SelectGndPin(c.pin);
  EXPECT_EQ(RegisterWrites(*prog), c.registers);
  std::vector<std::vector<std::uint8_t>> fpga;
  for (const auto& cmd : prog->record.transcript) {
    if (cmd.op() == 10) fpga.push_back({cmd.bytes[1], cmd.bytes[2]});
  }
  EXPECT_EQ(fpga, c.fpgaWrites);
  std::vector<std::uint8_t> queued(gLink.CommandBuffer.begin(),
                                   gLink.CommandBuffer.begin() + gLink.CommandCount);
  EXPECT_EQ(queued, c.queued);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GndTest,
    ::testing::Values(GndCase{5149, 100, {{22, 11}, {22, 158}}, {}, {}},
                      GndCase{6200, 100, {{22, 11}, {22, 158}}, {}, {}},
                      GndCase{5108, 100, {{22, 100}}, {}, {9, 100}},  // below 5149: unchanged
                      GndCase{5148, 24, {}, {}, {10, 29, 6}},         // FPGA write only, queued
                      GndCase{5148, 20, {{22, 20}}, {}, {9, 20}},
                      GndCase{6200, 0, {{22, 0}}, {{29, 0x86}}, {}},
                      GndCase{5105, 20, {{22, 20}}, {}, {9, 20}}));

TEST_F(SimFixture, GroundOnElevenAndThirty) {
  SelectGndPin(100);
  EXPECT_EQ(prog->PinMillivolts(11), 0);
  EXPECT_EQ(prog->PinMillivolts(30), 0);
}

TEST(ElapsedRunTime, FormatsTenthsAndRefusesABackwardClock) {
  int now = 1000;
  SetProcessorClock([&] { return now; });
  const std::pair<int, const char*> cases[] = {
      {1234, "1.2"}, {12345, "12.3"}, {0, "0.0"}, {-1, "?"}};
  for (const auto& [ticks, text] : cases) {
    now = 1000;
    StartRunTimer();
    now = 1000 + ticks;
    EXPECT_EQ(ElapsedRunTime(), text) << ticks;
  }
  SetProcessorClock({});
}

}  // namespace primitives_test
}  // namespace zelvar
