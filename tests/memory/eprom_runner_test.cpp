// A user's road with an AT27C256 on the simulated programmer, through the operation runner: chip
// set-up, Blank, Write, Verify, Read and Read ID with their result lines, and a changed buffer
// failing Verify at its address.
#include <algorithm>

#include "EpromFixture.h"
#include "algorithms/registry/Registry.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "services/AppState.h"
#include "sim/chips/Eprom.h"

namespace zelvar::test {
namespace eprom_runner_test {

class EpromRunnerTest : public EpromFixture {
 protected:
  std::string LastLine() const { return fake.log.empty() ? "" : fake.log.back().text; }
};

TEST_F(EpromRunnerTest, At27c256FromChoiceToResultLines) {
  chip = sim::MakeEprom("AT27C256");
  prog->PlaceChipAtBottom(chip);
  fake.chipTitle = "ATMEL: AT27C256";
  gApp.ChipTitle = fake.chipTitle;
  gApp.AlgorithmKey = "P27";
  gApp.TypeIndex = 22;
  gApp.CurrentDispatcher = FindAlgorithmSet("P27");
  runner.SetupChosenChip();
  EXPECT_EQ(prog->loadedDesign, "zor5103");
  EXPECT_EQ(gApp.CodeLastAddress, 0x7FFF);
  EXPECT_EQ(gApp.OptionValues[65], 0xFFFFFF);

  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_NE(LastLine().find("Complete"), std::string::npos) << LastLine();

  for (std::uint32_t i = 0; i < 0x8000; ++i)
    gApp.CodeBuffer[i] = static_cast<std::uint8_t>(i ^ 0xA5);
  runner.WriteClick();
  EXPECT_NE(LastLine().find("Complete"), std::string::npos) << LastLine();
  runner.VerifyClick();
  EXPECT_NE(LastLine().find("Complete"), std::string::npos) << LastLine();
  for (std::uint32_t a = 0; a < 0x8000; ++a) ASSERT_EQ(chip->cells[a], (a ^ 0xA5) & 0xFF) << a;

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x8000, 0);
  runner.ReadClick();
  EXPECT_NE(LastLine().find("Complete"), std::string::npos) << LastLine();
  for (std::uint32_t a = 0; a < 0x8000; ++a) ASSERT_EQ(gApp.CodeBuffer[a], (a ^ 0xA5) & 0xFF) << a;

  gApp.CodeBuffer[0x1234] ^= 0xFF;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_NE(LastLine().find("Error at:01234:"), std::string::npos) << LastLine();

  runner.IdClick();
  EXPECT_EQ(LastLine(), "1e,8c");
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
}

}  // namespace eprom_runner_test
}  // namespace zelvar::test
