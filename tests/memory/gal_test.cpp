// GAL3M on the simulated programmer through the operation runner: a JEDEC file loaded into the
// fuse map, erased, written, verified and read back on every row with a chip model, with the
// chip's own cells checked; and the set's refusals and failure addresses.
#include "sim/chips/Gal.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "algorithms/memory/GAL3M.h"
#include "algorithms/memory/P22V10.h"
#include "algorithms/registry/Registry.h"
#include "app/core/buffer/BufferFiles.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "app/core/startup/SimSocket.h"
#include "link/CommandQueue.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Jedec.h"
#include "services/PldDocuments.h"
#include "sim/chips/Pld22v10.h"
#include "support/SimFixture.h"

namespace zelvar::test {
namespace gal_test {

using memory::ArchitectureFuse;

class GalTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
    gPld.Reset();
  }
  void TearDown() override {
    gApp.Reset();
    gPld.Reset();
    SimFixture::TearDown();
  }

  void Choose(int row, const std::string& part) {
    chip = sim::MakeGal(part);
    ASSERT_NE(chip, nullptr) << part;
    prog->PlaceChipAtBottom(chip);
    Bind("GAL3M", row, part);
  }
  void Bind(const std::string& key, int row, const std::string& part) {
    gApp.ChipTitle = fake.chipTitle = "LATTICE: " + part;
    gApp.AlgorithmKey = key;
    gApp.TypeIndex = row;
    gApp.CurrentDispatcher = FindAlgorithmSet(key);
    runner.SetupChosenChip();
  }

  // A map with every kind of fuse at 0 and 1 somewhere, as a JEDEC file loaded by the user.
  void LoadPattern(const memory::GalType& t, int seed) {
    FuseMapDocument d;
    d.rowLength = static_cast<int>(t.rowLength);
    d.rowCount = static_cast<int>(t.rows);
    std::vector<std::uint8_t> map(static_cast<std::size_t>(t.mapFuses()));
    for (std::size_t k = 0; k < map.size(); ++k) map[k] = ((k * 13 + k / 7 + seed) % 3) ? '1' : '0';
    const std::string path = ::testing::TempDir() + "gal_pattern.jed";
    FILE* f = std::fopen(path.c_str(), "wb");
    const std::string text = GalJedecText(d, map);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    LoadBufferFile(path, 0);
    expected = map;
  }

  // The chip's own cells against the expected map.
  void ExpectChipHolds(const memory::GalType& t) {
    const int rl = static_cast<int>(t.rowLength), base = t.arrayFuses();
    for (int r = 0; r < rl; ++r) {
      for (int b = 0; b < 64; ++b)
        ASSERT_EQ(chip->array[r][b], expected[b * rl + r] & 1) << "row " << r << " bit " << b;
    }
    for (int b = 0; b < 82; ++b)
      ASSERT_EQ(chip->architecture[b], expected[ArchitectureFuse(base, b)] & 1) << "arch " << b;
    for (int b = 0; b < 64; ++b)
      ASSERT_EQ(chip->signature[b], expected[base + 8 + b] & 1) << "signature " << b;
  }

  std::string LastLine() const { return fake.log.empty() ? "" : fake.log.back().text; }
  bool Completed() const { return LastLine().find("Complete") != std::string::npos; }

  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
  std::shared_ptr<sim::GalChip> chip;
  std::vector<std::uint8_t> expected;
};

struct RowCase {
  int row;
  const char* part;
};

class GalRoundTrip : public GalTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(GalRoundTrip, LoadEraseWriteVerifyRead) {
  const auto [row, part] = GetParam();
  const memory::GalType& t = memory::GAL3M::kTypes[static_cast<std::size_t>(row)];
  Choose(row, part);
  EXPECT_EQ(prog->loadedDesign, "zor5103");
  EXPECT_EQ(gApp.InfoRecord[3], 1);
  EXPECT_EQ(gApp.CodeLastAddress, t.mapFuses());
  EXPECT_EQ(gPld.fuse.rowLength, static_cast<int>(t.rowLength));

  // A chip from the shelf: some cells programmed already.
  chip->array[3][5] = 0;
  chip->architecture[40] = 0;
  LoadPattern(t, row);
  ASSERT_TRUE(gPld.fuse.loaded);
  runner.EraseClick();
  ExpectEndState("Erase");
  EXPECT_TRUE(Completed()) << LastLine();
  runner.BlankClick();
  ExpectEndState("Blank");
  EXPECT_TRUE(Completed()) << LastLine();
  runner.WriteClick();
  ExpectEndState("Write");
  EXPECT_TRUE(Completed()) << LastLine();
  runner.VerifyClick();
  ExpectEndState("Verify");
  EXPECT_TRUE(Completed()) << LastLine();
  ExpectChipHolds(t);

  std::fill_n(gApp.CodeBuffer.begin(), 6000, '0');
  runner.ReadClick();
  ExpectEndState("Read");
  EXPECT_TRUE(Completed()) << LastLine();
  // Every fuse with a cell comes back; the map's spare fuses after AC0 read '1'.
  const int last = t.arrayFuses() + memory::kAc0Fuse;
  for (int k = 0; k < t.mapFuses(); ++k)
    ASSERT_EQ(gApp.CodeBuffer[k], k <= last ? expected[k] : '1') << k;
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
}

INSTANTIATE_TEST_SUITE_P(Rows, GalRoundTrip,
                         ::testing::Values(RowCase{1, "GAL16V8"}, RowCase{2, "GAL16V8B"},
                                           RowCase{3, "GAL16V8B"}, RowCase{4, "GAL20V8"},
                                           RowCase{5, "GAL20V8B"}, RowCase{6, "GAL20V8B"},
                                           RowCase{8, "ATF16V8"}, RowCase{9, "ATF20V8"},
                                           RowCase{10, "GAL16V8B"}),
                         [](const auto& info) { return "row" + std::to_string(info.param.row); });

// The simulated socket's window seats a GAL by its catalogue name as it seats an EPROM: chosen,
// written and verified from there; taken out, Verify fails; put back, it passes again.
TEST_F(GalTest, RoundTripSeatedFromTheSimulatedSocket) {
  const memory::GalType& t = memory::GAL3M::kTypes[1];
  SimSocket socket(*prog);
  ASSERT_TRUE(socket.Insert("LATTICE: GAL16V8")) << socket.Message();
  chip = std::dynamic_pointer_cast<sim::GalChip>(prog->chipShared());
  ASSERT_NE(chip, nullptr);
  EXPECT_EQ(prog->SocketPinOf(10), 20);  // at the bottom of the socket
  Bind("GAL3M", 1, "GAL16V8");
  LoadPattern(t, 1);
  runner.EraseClick();
  EXPECT_TRUE(Completed()) << LastLine();
  runner.WriteClick();
  EXPECT_TRUE(Completed()) << LastLine();
  ExpectChipHolds(t);
  socket.TakeOut();
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  ASSERT_TRUE(socket.PutBack());
  runner.VerifyClick();
  EXPECT_TRUE(Completed()) << LastLine();
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();

  // The 22V10 lines seat the 22V10 model.
  ASSERT_TRUE(socket.Insert("LATTICE: GAL22V10"));
  EXPECT_NE(dynamic_cast<sim::Pld22v10*>(prog->chip()), nullptr);
}

TEST_F(GalTest, WriteNeedsALoadedMapAndThe22V10RowIsRefused) {
  Choose(1, "GAL16V8");
  runner.WriteClick();
  ExpectEndState("Write");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(fake.boxes.back(), "No JEDEC file opened!");
  EXPECT_EQ(chip->programmedRows, 0);

  Choose(7, "GAL16V8");
  gPld.fuse.loaded = true;
  runner.BlankClick();
  ExpectEndState("Blank");
  EXPECT_EQ(gLink.StatusWord, 1);
  runner.WriteClick();
  ExpectEndState("Write");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->programmedRows, 0);
}

TEST_F(GalTest, FailuresNameTheFuse) {
  Choose(1, "GAL16V8");
  const memory::GalType& t = memory::GAL3M::kTypes[1];
  // Bit 5 of row 2 is fuse 5 * 32 + 2.
  chip->array[2][5] = 0;
  runner.BlankClick();
  ExpectEndState("Blank");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 162u);
  EXPECT_EQ(gLink.FailByte, '0');
  EXPECT_EQ(prog->VccPin(), 0);

  // A product-term-disable fuse that differs fails Verify at its map fuse.
  LoadPattern(t, 1);
  runner.EraseClick();
  ExpectEndState("Erase");
  EXPECT_TRUE(Completed()) << LastLine();
  runner.WriteClick();
  ExpectEndState("Write");
  EXPECT_TRUE(Completed()) << LastLine();
  ExpectChipHolds(t);
  const int ptd = t.arrayFuses() + memory::kPtdFuses + 17;
  gApp.CodeBuffer[ptd] ^= 1;
  runner.VerifyClick();
  ExpectEndState("Verify");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, static_cast<std::uint32_t>(ptd));

  // Security: the array reads 0 afterwards.
  runner.ProtectClick();
  ExpectEndState("Protect");
  EXPECT_TRUE(chip->secured);
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
}

TEST_F(GalTest, A16VoltRowOnA12VoltPartIsAHazard) {
  Choose(1, "GAL16V8B");
  LoadPattern(memory::GAL3M::kTypes[1], 2);
  runner.WriteClick();
  ExpectEndState("Write");
  EXPECT_FALSE(prog->record.hazards.empty());
}

// Both PLD models: a driver held high on VCC powers nothing, a supply does, and only with the
// ground pin grounded.
TEST_F(GalTest, PldModelsArePoweredOnlyByASupplyWithGround) {
  const std::vector<std::pair<std::shared_ptr<sim::ChipModel>, std::uint8_t>> chips = {
      {sim::MakeGal("GAL16V8B"), 30},
      {sim::MakeGal("GAL20V8B"), 32},
      {std::make_shared<sim::Pld22v10>(), 32}};
  for (const auto& [model, vcc] : chips) {
    prog->PlaceChipAtBottom(model);
    SelectGndPin(20);
    SetPinHigh(vcc);
    FlushCommands();
    EXPECT_FALSE(model->Powered(*prog)) << model->Name();
    SetPinLow(vcc);
    SetVccVoltage(5000);
    SelectVccPin(vcc);
    FlushCommands();
    EXPECT_TRUE(model->Powered(*prog)) << model->Name();
    SelectGndPin(0);
    FlushCommands();
    EXPECT_FALSE(model->Powered(*prog)) << model->Name();
    SelectVccPin(0);
    FlushCommands();
  }
}

class P22V10Test : public GalTest, public ::testing::WithParamInterface<int> {};

TEST_P(P22V10Test, LoadEraseWriteVerifyReadAndSecure) {
  const int row = GetParam();
  const memory::GalType& t = memory::P22V10::kTypes[static_cast<std::size_t>(row)];
  auto v10 = std::make_shared<sim::Pld22v10>();
  prog->PlaceChipAtBottom(v10);
  Bind("P22V10", row, "ATF22V10B");
  EXPECT_EQ(prog->loadedDesign, "atf22v10b");
  EXPECT_EQ(gApp.CodeLastAddress, 6072);
  runner.WriteClick();
  ExpectEndState("Write");
  EXPECT_EQ(gLink.StatusWord, 1) << "no map loaded yet";
  EXPECT_EQ(v10->programmed, 0);

  v10->array[7][100] = 0;
  v10->config[3] = 0;
  LoadPattern(t, row);
  runner.EraseClick();
  ExpectEndState("Erase");
  runner.BlankClick();
  ExpectEndState("Blank");
  EXPECT_TRUE(Completed()) << LastLine();
  runner.WriteClick();
  ExpectEndState("Write");
  EXPECT_TRUE(Completed()) << LastLine();
  runner.VerifyClick();
  ExpectEndState("Verify");
  EXPECT_TRUE(Completed()) << LastLine();
  const int base = t.arrayFuses();
  for (int r = 0; r < 44; ++r) {
    for (int b = 0; b < 132; ++b)
      ASSERT_EQ(v10->array[r][b], expected[b * 44 + r] & 1) << "row " << r << " bit " << b;
  }
  for (int k = 0; k < 20; ++k) ASSERT_EQ(v10->config[k], expected[base + (k ^ 1)] & 1) << k;
  for (int k = 0; k < 64; ++k) ASSERT_EQ(v10->signature[k], expected[base + 20 + k] & 1) << k;

  std::fill_n(gApp.CodeBuffer.begin(), 6072, '0');
  runner.ReadClick();
  ExpectEndState("Read");
  for (int k = 0; k < base + 20; ++k) ASSERT_EQ(gApp.CodeBuffer[k], expected[k]) << k;

  // A configuration fuse that differs fails Verify at its own fuse number.
  gApp.CodeBuffer[base + 5] ^= 1;
  runner.VerifyClick();
  ExpectEndState("Verify");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, static_cast<std::uint32_t>(base + 5));
  gApp.CodeBuffer[base + 5] ^= 1;

  runner.ProtectClick();
  ExpectEndState("Protect");
  EXPECT_TRUE(v10->secured);
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
}

INSTANTIATE_TEST_SUITE_P(Rows, P22V10Test, ::testing::Values(1, 2, 3));

}  // namespace gal_test
}  // namespace zelvar::test
