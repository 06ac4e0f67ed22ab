#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/Backend.h"
#include "app/core/startup/ProgrammerStart.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "services/AppState.h"
#include "sim/Programmer.h"
#include "support/FakeServices.h"

namespace zelvar {
namespace programmer_start_test {

class ProgrammerStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLink.Reset();
    SetServices(&fake);
  }
  void TearDown() override {
    SetServices(nullptr);
    gLink.Reset();
  }
  test::FakeServices fake;
};

TEST_F(ProgrammerStartTest, NamedSimulatedModelConnects) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim:5149"});
  ASSERT_TRUE(s.backend);
  EXPECT_TRUE(s.connected);
  EXPECT_EQ(gLink.ModelNumber, 5149);
  EXPECT_STREQ(gLink.ProgrammerName, "zor5149");
}

// No programmer means no programmer: the USB programmer is the default, and without one the
// program runs off-line and refuses chip operations, saying why.
TEST_F(ProgrammerStartTest, WithoutAnOptionAndNoProgrammerItRunsOffLine) {
  // The test machine has no programmer on USB.
  ProgrammerStart s = StartProgrammer({});
  ASSERT_TRUE(s.backend);
  EXPECT_FALSE(s.connected);
  EXPECT_FALSE(s.backend->simulated());
  EXPECT_EQ(gLink.ModelNumber, 0);
  ASSERT_FALSE(fake.boxes.empty());
  EXPECT_EQ(fake.boxes[0], "Can not open the device! ");
  fake.boxes.clear();
  gApp.TypeIndex = 0;  // a chip chosen from the off-line model's list
  EXPECT_EQ(CheckPinContact(20, 0, 0, 0xFF, 0), 0);
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Can't run without device! "});
  gApp.Reset();
}

TEST_F(ProgrammerStartTest, MalformedOptionConnectsNothing) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim:abc"});
  EXPECT_FALSE(s.backend);
  EXPECT_FALSE(s.connected);
  EXPECT_FALSE(s.error.empty());
  EXPECT_EQ(gLink.ModelNumber, 0);
}

// The options are checked before any window opens or any device is touched.
TEST_F(ProgrammerStartTest, OptionErrorsAreFoundBeforeStartUp) {
  struct Case {
    std::vector<std::string> args;
    const char* error;  // a part of the message, "" for none
  };
  for (const Case& c : {Case{{}, ""}, Case{{"--programmer=sim:5149", "--sim-chip=27C256"}, ""},
                        Case{{"--programmer=sim", "--sim-chip=7400:stuck"}, ""},
                        Case{{"--programmer=simm"}, "usb, sim or sim:MODEL"},
                        Case{{"--programmer=sim:0"}, "model number"},
                        Case{{"--programmer=sim", "--sim-chip=27C999"}, ""},  // said in the window
                        Case{{"--sim-chip=27C256"}, "needs the simulated programmer"}}) {
    const std::string error = StartOptionsError(c.args);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(error.empty(), *c.error == 0) << error;
  }
  EXPECT_EQ(gLink.ModelNumber, 0);
}

TEST_F(ProgrammerStartTest, SimulatedChipGoesIntoTheSocket) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim", "--sim-chip=27C256"});
  ASSERT_TRUE(s.backend);
  EXPECT_TRUE(s.connected);
  ASSERT_NE(s.backend->programmer()->chip(), nullptr);
  EXPECT_GT(s.backend->programmer()->SocketPinOf(1), 0);

  // Every family with a model goes in by name: a GAL as well as an EPROM.
  gLink.Reset();
  ProgrammerStart gal = StartProgrammer({"--programmer=sim", "--sim-chip=GAL16V8"});
  ASSERT_TRUE(gal.connected);
  ASSERT_NE(gal.backend->programmer()->chip(), nullptr);
  EXPECT_EQ(gal.backend->programmer()->chip()->Name(), "GAL16V8");
  EXPECT_EQ(gal.seatMessage, "");

  // A part with no model starts with an empty socket, and the socket window says why.
  gLink.Reset();
  ProgrammerStart none = StartProgrammer({"--programmer=sim", "--sim-chip=27C999"});
  ASSERT_TRUE(none.connected);
  EXPECT_EQ(none.backend->programmer()->chip(), nullptr);
  EXPECT_NE(none.seatMessage.find("No simulated chip model of 27C999"), std::string::npos);

  // A chip for the real programmer connects nothing and says why.
  gLink.Reset();
  ProgrammerStart bad = StartProgrammer({"--programmer=usb", "--sim-chip=27C256"});
  EXPECT_FALSE(bad.backend);
  EXPECT_FALSE(bad.connected);
  EXPECT_NE(bad.error.find("--sim-chip"), std::string::npos) << bad.error;
}

TEST_F(ProgrammerStartTest, SimulatedSocketFollowsTheChosenChipUnlessOneWasNamed) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim"});
  ASSERT_TRUE(s.backend);
  sim::Programmer& p = *s.backend->programmer();
  EXPECT_EQ(p.chip(), nullptr);
  PlaceChosenChip(s, "AT27C256");
  ASSERT_NE(p.chip(), nullptr);
  EXPECT_EQ(p.chip()->Name(), "AT27C256");
  const sim::ChipModel* first = p.chip();
  PlaceChosenChip(s, "AT27C256R");  // the same part stays, with what was written to it
  EXPECT_EQ(p.chip(), first);
  PlaceChosenChip(s, "SST27SF512");
  EXPECT_EQ(p.chip()->Name(), "SST27SF512");
  PlaceChosenChip(s, "28F002BC-T");  // no model: the socket is empty, and the window says why
  EXPECT_EQ(p.chip(), nullptr);
  EXPECT_NE(s.seatMessage.find("No simulated chip model of 28F002BC-T"), std::string::npos);
  PlaceChosenChip(s, "AT89C51RC");  // no AT89C51 stands in for it
  EXPECT_EQ(p.chip(), nullptr);
  PlaceChosenChip(s, "ATtiny12");  // an 8-pin AVR goes where its placement picture shows it
  EXPECT_EQ(p.SocketPinOf(1), 11);
  PlaceChosenChip(s, "ATmega88");
  EXPECT_EQ(p.SocketPinOf(1), 7);

  ProgrammerStart named = StartProgrammer({"--programmer=sim", "--sim-chip=27C512"});
  PlaceChosenChip(named, "AT27C256");
  EXPECT_EQ(named.backend->programmer()->chip()->Name(), "27C512");
}

// The chip sits where the placement picture its line's set showed puts it: the rows drawn, pin 1
// at the end drawn (turned round for the lower end), an adapter's picture left to the model, and
// nothing for a chip larger than the one drawn (a smaller DIP sits with its pin 1 on the drawn
// chip's pin 1).
TEST_F(ProgrammerStartTest, SimulatedSocketSeatsTheChipAsItsLinePicturesIt) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim"});
  ASSERT_TRUE(s.backend);
  sim::Programmer& p = *s.backend->programmer();
  const auto drawn = [](int pins, int firstRow, int pin1Side) {
    PlacementRequest r;
    r.pins = pins;
    r.firstRow = firstRow;
    r.pin1Side = pin1Side;
    return r;
  };
  PlaceChosenChip(s, "ATmega16", drawn(40, 0, 1));  // the 40-pin AVR turned, pin 1 by pin 21
  ASSERT_NE(p.chip(), nullptr);
  EXPECT_EQ(p.SocketPinOf(1), 21);
  EXPECT_EQ(p.SocketPinOf(40), 20);
  PlaceChosenChip(s, "AT27C256", drawn(28, 9, 0));
  EXPECT_EQ(p.SocketPinOf(1), 9);
  EXPECT_EQ(p.SocketPinOf(28), 32);
  // A smaller DIP goes with its pin 1 on the drawn chip's pin 1, turned or not: the 8-pin
  // PIC12F675 on the 14-pin PIC16F630 line.
  PlaceChosenChip(s, "PIC12F675", drawn(14, 0, 0));
  ASSERT_NE(p.chip(), nullptr);
  EXPECT_EQ(p.SocketPinOf(1), 14);
  EXPECT_EQ(p.SocketPinOf(8), 27);  // where the 14-pin chip's pin 14 (VSS) is
  PlaceChosenChip(s, "PIC12F675", drawn(14, 0, 1));
  ASSERT_NE(p.chip(), nullptr);
  EXPECT_EQ(p.SocketPinOf(1), 21);
  EXPECT_EQ(s.seatMessage, "");
  PlaceChosenChip(s, "AT27C256", drawn(14, 0, 0));  // a larger chip than the one drawn
  EXPECT_EQ(p.chip(), nullptr);
  EXPECT_NE(s.seatMessage.find("this line places a 14-pin chip"), std::string::npos)
      << s.seatMessage;
  PlacementRequest adapter;
  adapter.file = "p44.bmp";
  PlaceChosenChip(s, "AT90S8515*P44", adapter);  // the model written for the adapter
  ASSERT_NE(p.chip(), nullptr);
  EXPECT_EQ(p.chip()->PinCount(), 44);
  PlaceChosenChip(s, "AT89C51*P44", adapter);  // no model behind the 8051s' adapter
  EXPECT_EQ(p.chip(), nullptr);
}

}  // namespace programmer_start_test
}  // namespace zelvar
