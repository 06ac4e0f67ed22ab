#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/startup/SimSocket.h"
#include "sim/chips/Eprom.h"

namespace zelvar {
namespace sim_socket_test {

// Run's loop waits for the chip to go and a chip to come: the socket window's three moves.
TEST(SimSocket, TakesOutPutsBackAndInsertsAnotherPart) {
  sim::Programmer p(6200);
  SimSocket socket(p);
  EXPECT_EQ(socket.Held(), "");
  EXPECT_FALSE(socket.PutBack());
  ASSERT_TRUE(socket.Insert("AT27C256"));
  auto* chip = static_cast<sim::EpromChip*>(p.chip());
  chip->cells[5] = 0x12;
  socket.TakeOut();
  EXPECT_EQ(socket.Held(), "");
  EXPECT_EQ(p.chip(), nullptr);
  EXPECT_TRUE(socket.PutBack());
  EXPECT_EQ(p.chip(), chip);  // the same chip, with what was written to it
  EXPECT_EQ(p.SocketPinOf(14), 20);
  EXPECT_FALSE(socket.PutBack());  // the socket is full
  EXPECT_TRUE(socket.Insert("27C512"));
  EXPECT_EQ(socket.Held(), "27C512");
  EXPECT_FALSE(socket.Insert("28F002BC-T"));  // no model
  EXPECT_EQ(socket.Held(), "27C512");
  EXPECT_EQ(socket.Message(), "No simulated chip model of 28F002BC-T");
  EXPECT_FALSE(SimSocket::Parts().empty());
}

// Every family with a model is offered and goes in: the list's PLDs beside its EPROMs; a part of
// the chosen line goes where its picture puts it, and comes back there.
TEST(SimSocket, OffersEveryFamilyAndSeatsTheChosenLinesPartAsPictured) {
  const auto parts = SimSocket::Parts(std::string(ZELVAR_PROGRAM_DIR) + "/device6200.lst");
  for (const char* part : {"GAL16V8", "ATF22V10B", "AT27C256", "ATmega8", "AT24C02"}) {
    EXPECT_NE(std::find(parts.begin(), parts.end(), part), parts.end()) << part;
  }
  EXPECT_EQ(std::find(parts.begin(), parts.end(), "28F002BC-T"), parts.end());

  sim::Programmer p(5149);
  PlacementRequest turned;
  turned.pins = 40;
  turned.pin1Side = 1;
  const ChosenSeat chosen{"ATmega16", turned};
  SimSocket socket(p, &chosen);
  ASSERT_TRUE(socket.Insert("ATMEL: ATmega16"));
  EXPECT_EQ(p.SocketPinOf(1), 21);
  socket.TakeOut();
  ASSERT_TRUE(socket.PutBack());
  EXPECT_EQ(p.SocketPinOf(1), 21);
  ASSERT_TRUE(socket.Insert("GAL16V8"));  // another line's part: its own seat, at the bottom
  EXPECT_EQ(socket.Held(), "GAL16V8");
  EXPECT_EQ(p.SocketPinOf(10), 20);
}

}  // namespace sim_socket_test
}  // namespace zelvar
