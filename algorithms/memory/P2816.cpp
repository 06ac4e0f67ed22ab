#include "algorithms/memory/P2816.h"

#include "services/Services.h"

namespace zelvar::memory {

namespace {
constexpr const char* kWithErase[] = {"$Fonc:",
                                      "21 Erase",
                                      "22 Blank",
                                      "23 Write",
                                      "24 Verify",
                                      "$DisTool:",
                                      "25,26,28,29,30,31,",
                                      "$Gridw:Addr(地址范围)",
                                      "Addr start",
                                      "0000",
                                      "Addr end",
                                      "0FFFFFF",
                                      "$Radio1:02,Delay(写延时)",
                                      "10mS",
                                      "  20mS",
                                      "  30mS",
                                      "  40mS",
                                      "  50mS",
                                      "$end"};
constexpr const char* kWriteOnlyList[] = {"$Fonc:",
                                          "23 Write",
                                          "24 Verify",
                                          "$DisTool:",
                                          "21,22,25,26,28,29,30,31,",
                                          "$Gridw:Addr(地址范围)",
                                          "Addr start",
                                          "0000",
                                          "Addr end",
                                          "0FFFFFF",
                                          "$Radio1:02,Delay(写延时)",
                                          "10mS",
                                          "  20mS",
                                          "  30mS",
                                          "  40mS",
                                          "  50mS",
                                          "$end"};
}  // namespace

// "era=" non-zero: the part takes the chip clear.
bool P2816::EraseOffered() {
  return services().ChipParam("era=") != 0;
}

std::span<const char* const> P2816::DescribeList() const {
  if (EraseOffered()) return kWithErase;
  return kWriteOnlyList;
}

}  // namespace zelvar::memory
