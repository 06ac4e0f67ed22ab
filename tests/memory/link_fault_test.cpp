// USB faults at every transfer of an operation, injected between the link and the simulated
// programmer: none may end in "Complete", leave a supply on or change the buffer by half; and the
// link's own recoveries (a replugged programmer, a late model-name reply, a refused supply).
#include <algorithm>
#include <vector>

#include "EpromFixture.h"
#include "link/Bitstream.h"
#include "link/Connect.h"
#include "services/Dispatcher.h"

namespace zelvar::test {
namespace link_fault_test {

class LinkFaultTest : public EpromFixture {
 protected:
  // An AT27C256 with its first 256 bytes as the range (a window is enough: every transfer of the
  // operation's frame is in it), and a buffer pattern to write.
  void Start() {
    Choose("P27", 13, "27C256", "ATMEL: AT27C256");
    gApp.OptionValues[kRangeEnd] = 0xFF;
    Pattern(0x100);
  }

  // A fresh programmer in place of the old one (a case may have left it faulted or pulled out),
  // with the link on-line again.
  void Replug() {
    Unplug();
    PlugFresh(6200);
    gLink.ModelNumber = 6200;
  }

  bool LogHas(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  bool RedLine() const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [](const auto& l) { return l.colour == kRed; });
  }
  bool SuppliesOff() const {
    return prog->VccPin() == 0 && prog->VppPin() == 0 && prog->VccMillivolts() == 0 &&
           prog->VppMillivolts() == 0;
  }
  bool PinsLow() const {
    for (int p = 1; p <= 40; ++p) {
      if (prog->level[p] == 1) return false;
    }
    return true;
  }

  static constexpr int kRangeEnd = 65;
};

class EveryTransfer : public LinkFaultTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryTransfer, EveryFaultAtEveryTransferFails) {
  const int op = GetParam();
  Start();
  faults->Arm(UsbFault::TimeOut, 1 << 30);
  ASSERT_EQ(Run(op), 0);
  const int transfers = faults->Count();
  ASSERT_GT(transfers, 10);

  for (const UsbFault fault :
       {UsbFault::ShortRead, UsbFault::FailedWrite, UsbFault::TimeOut, UsbFault::Detach}) {
    for (int at = 1; at <= transfers; ++at) {
      SCOPED_TRACE(OperationTitle(op) + ", " + FaultName(fault) + " at transfer " +
                   std::to_string(at));
      Replug();
      Start();
      if (op == kOpRead) {
        for (std::uint32_t a = 0; a < 0x400; ++a) chip->cells[a] = static_cast<std::uint8_t>(a);
      }
      const std::vector<std::uint8_t> before(gApp.CodeBuffer.begin(),
                                             gApp.CodeBuffer.begin() + 0x1000);
      fake.log.clear();
      faults->Arm(fault, at);
      Run(op);
      if (!faults->Fired()) continue;  // no transfer of that kind from here on

      EXPECT_EQ(gLink.StatusWord, 1);
      EXPECT_FALSE(LogHas("Complete"));
      EXPECT_TRUE(RedLine());
      if (op == kOpRead) {
        EXPECT_TRUE(std::equal(before.begin(), before.end(), gApp.CodeBuffer.begin()))
            << "a failed Read changed the buffer";
      }
      // An unplugged programmer has no supply left to switch off.
      if (fault != UsbFault::Detach) {
        EXPECT_TRUE(SuppliesOff())
            << "VCC " << prog->VccMillivolts() << " mV on pin " << prog->VccPin() << ", VPP "
            << prog->VppMillivolts() << " mV on pin " << prog->VppPin();
        EXPECT_TRUE(PinsLow());
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WriteAndRead, EveryTransfer, ::testing::Values(kOpWrite, kOpRead),
                         [](const auto& info) {
                           return std::string(info.param == kOpWrite ? "Write" : "Read");
                         });

TEST_F(LinkFaultTest, AReplugOrAMissingFpgaLoadsTheBitstreamAgain) {
  Start();
  ASSERT_EQ(prog->loadedDesign, "zor5103");
  Unplug();
  PlugFresh(6200);  // a fresh programmer: its FPGA is empty
  prog->PlaceChipAtBottom(chip);
  ASSERT_EQ(prog->loadedDesign, "");
  runner.SetupChosenChip();
  EXPECT_EQ(prog->loadedDesign, "zor5103");
  EXPECT_EQ(Run(kOpBlank), 0) << "the fresh programmer runs the chip";

  // "Not find FPGA!" leaves no bitstream named either, so the next set-up tries again.
  gLink.LastBitstream = kNoBitstream;
  prog->faults.fpgaPresent = false;
  LoadBitstream("zor5103.bit");
  EXPECT_TRUE(LogHas("Not find FPGA!"));
  EXPECT_EQ(LoadedBitstream(), kNoBitstream);
}

TEST_F(LinkFaultTest, ALateModelNameReplyIsNotTakenByTheRetry) {
  // Transfer 3 is the first model-name read: it times out and its reply comes late.
  faults->Arm(UsbFault::TimeOut, 3);
  ASSERT_TRUE(ConnectProgrammer());
  EXPECT_TRUE(faults->Fired());
  EXPECT_EQ(gLink.ModelNumber, 6200);
  EXPECT_EQ(gLink.ProgrammerInfo[0], 'i') << "the info block read a model-name reply";
  EXPECT_TRUE(CheckPower()) << "every later reply is shifted by one";
}

TEST_F(LinkFaultTest, ARefusedSupplyEndsTheOperationWithSuppliesOff) {
  chip = sim::MakeEprom("SST27SF512");
  ASSERT_NE(chip, nullptr);
  prog->PlaceChipAtBottom(chip);
  fake.chipParams["vcc="] = 70000;
  gApp.AlgorithmKey = "SST27SF";
  gApp.TypeIndex = 2;
  gApp.CurrentDispatcher = FindAlgorithmSet("SST27SF");
  runner.SetupChosenChip();
  gApp.OptionValues[65] = 0xFFFFFF;
  fake.log.clear();
  chip->cells[0x10] = 0;  // Blank must not pass on a programmed chip
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_TRUE(LogHas("VCC 70000 mV refused!"));
  EXPECT_FALSE(LogHas("Complete"));
  EXPECT_TRUE(SuppliesOff());
}

}  // namespace link_fault_test
}  // namespace zelvar::test
