// Read through the runner with a USB time-out in its last transfers (the configuration and data
// reads at the end of the operation), on chips of several families: the failed Read must leave the
// buffer and the options as they were, and say so in red.
#include <algorithm>
#include <functional>
#include <map>
#include <ostream>

#include "memory/ChipFixture.h"
#include "sim/chips/AvrHvParallel.h"
#include "sim/chips/Mdt10p.h"
#include "sim/chips/Pic14.h"
#include "sim/chips/SpiMemory.h"

namespace zelvar::test {
namespace read_fault_test {

struct Family {
  const char* key;
  int row;
  const char* title;
  std::map<std::string, int> items;
  std::function<std::shared_ptr<sim::ChipModel>()> make;
};
void PrintTo(const Family& f, std::ostream* os) {
  *os << f.title;
}

const Family kFamilies[] = {
    {"AT25SPI",
     1,
     "ATMEL: AT25080",
     {{"len=", 1024}, {"pag=", 32}, {"dly=", 5}},
     [] { return sim::MakeSpiMemory("AT25080"); }},
    {"ATMEGA48",
     1,
     "ATMEL: ATmega48",
     {{"pkg=", 28}},
     [] { return sim::MakeAvrHvParallel("ATmega48"); }},
    {"P16F628A",
     1,
     "MICROCHIP: PIC16F628A",
     {{"fla=", 2048}, {"ee=", 128}, {"pkg=", 18}, {"vcc=", 5000}, {"dly=", 3}},
     [] { return sim::MakePic14("PIC16F628A"); }},
    {"MDT10P7X", 11, "MDT: MDT10P73", {{"cfg=", 0}}, [] { return sim::MakeMdt10p("MDT10P73"); }},
};

class ReadFaultTest : public ChipFixture, public ::testing::WithParamInterface<Family> {
 protected:
  // A fresh programmer with the family's chip seated and chosen, and the user's buffer and
  // options marked so that any change shows.
  void Start() {
    const Family& f = GetParam();
    Unplug();
    PlugFresh(6200);
    gLink.ModelNumber = 6200;
    gApp.Reset();
    prog->record.keepTranscript = false;
    prog->PlaceChipAtBottom(f.make());
    fake.chipParams = f.items;
    fake.chipTitle = f.title;
    gApp.ChipTitle = f.title;
    gApp.AlgorithmKey = f.key;
    gApp.TypeIndex = f.row;
    gApp.CurrentDispatcher = DispatcherForKey(f.key);
    ASSERT_NE(gApp.CurrentDispatcher, nullptr);
    runner.SetupChosenChip();
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    std::fill_n(gApp.CodeBuffer.begin(), 0x10000, std::uint8_t{0xA5});
    for (std::size_t i = 0; i < gApp.OptionValues.size(); ++i)
      gApp.OptionValues[i] = static_cast<std::int32_t>(0x5A00 + i);
    gApp.ProjectModified = 0;
    fake.log.clear();
  }
};

TEST_P(ReadFaultTest, AFaultInTheLastTransfersChangesNothing) {
  Start();
  faults->Arm(UsbFault::TimeOut, 1 << 30);  // counts without firing
  ASSERT_EQ(Click(kOpRead), 0) << LastLine();
  const int transfers = faults->Count();
  // The passing Read replaced the marked buffer and options.
  ASSERT_NE(gApp.CodeBuffer[0], 0xA5);
  ASSERT_EQ(gApp.ProjectModified, 16);

  for (int at = transfers; at > transfers - 4; --at) {
    SCOPED_TRACE("time-out at transfer " + std::to_string(at) + " of " + std::to_string(transfers));
    Start();
    const std::vector<std::uint8_t> buffer(gApp.CodeBuffer.begin(),
                                           gApp.CodeBuffer.begin() + 0x10000);
    const auto options = gApp.OptionValues;
    faults->Arm(UsbFault::TimeOut, at);
    EXPECT_EQ(Click(kOpRead), 1);
    ASSERT_TRUE(faults->Fired());
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), gApp.CodeBuffer.begin()));
    EXPECT_EQ(gApp.OptionValues, options);
    EXPECT_EQ(gApp.ProjectModified, 0);
    EXPECT_EQ(fake.log.back().colour, kRed) << LastLine();
  }
}

INSTANTIATE_TEST_SUITE_P(Families, ReadFaultTest, ::testing::ValuesIn(kFamilies),
                         [](const auto& info) { return std::string(info.param.key); });

}  // namespace read_fault_test
}  // namespace zelvar::test
