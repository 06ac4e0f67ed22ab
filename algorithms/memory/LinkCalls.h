#pragma once
// The link and message calls the memory sets make that other parts of the program provide: the
// bitstream loader, the power check and the progress window. The sets call them only through
// here, so that each can be pointed at its owner's routine in one place.
#include <cstdint>

namespace zelvar::memory {

// Loads the family's FPGA bitstream `fileName` (for example "zor5103.bit").
void LoadFamilyBitstream(const char* fileName);
// Asks the programmer whether its supplies hold; false after "Power weakly!" with StatusWord 1.
bool PowerGood();
// The progress window: 0 opens it, a buffer address moves it, -1 finishes and closes it.
void Progress(int position);

}  // namespace zelvar::memory
