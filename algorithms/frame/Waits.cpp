#include "algorithms/frame/Waits.h"

#include "link/CommandQueue.h"
#include "link/commands/Programmer.h"

namespace zelvar::frame {

void QueueDelayTicks(int count) {
  for (int i = 0; i < count; ++i) PutCmd1(kCmdWait1ms);
}

}  // namespace zelvar::frame
