#pragma once
// Waits queued inside the command stream, for the sets whose designs count them out: the
// programmer spends a fixed time on each command byte 26, so a run of them is a pause between two
// steps that travels with the queue (the computer never sleeps).
namespace zelvar::frame {

// Queues command byte 26 `count` times; a count of 0 or less queues nothing.
void QueueDelayTicks(int count);

}  // namespace zelvar::frame
