#include <gtest/gtest.h>

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
  EXPECT_FALSE(socket.Insert("HN58C65"));  // no model
  EXPECT_EQ(socket.Held(), "27C512");
  EXPECT_FALSE(SimSocket::Parts().empty());
}

}  // namespace sim_socket_test
}  // namespace zelvar
