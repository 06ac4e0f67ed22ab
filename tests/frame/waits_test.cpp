// The queued wait the sets share: a run of command byte 26, nothing for a count of 0.
#include "algorithms/frame/Waits.h"

#include <gtest/gtest.h>

#include "link/LinkState.h"

namespace zelvar::test {
namespace waits_test {

TEST(QueueDelayTicks, QueuesOneWaitByteATickAndNothingForZero) {
  gLink.Reset();
  frame::QueueDelayTicks(0);
  frame::QueueDelayTicks(-3);
  EXPECT_EQ(gLink.CommandCount, 0u);
  frame::QueueDelayTicks(3);
  ASSERT_EQ(gLink.CommandCount, 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(gLink.CommandBuffer[i], 26);
  gLink.Reset();
}

}  // namespace waits_test
}  // namespace zelvar::test
