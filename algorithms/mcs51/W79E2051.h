#pragma once
// "W79E2051": the 20-, 16- and 14-pin W79E2051 parts and a 20-pin part of the newer family,
// programmed in-circuit over the 4-bit bus (the newer part's row loads its 8-bit design but keeps
// this set's policy, as the device lists bind it). Every row reports its own ground pin.
#include <array>
#include <span>

#include "algorithms/mcs51/SerialEngine.h"

namespace zelvar::mcs51 {

namespace w79e2051 {
constexpr IcpPolicy kPolicy{.nibbleBus = true, .block = 32, .configAddress = 0xFB00};
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 Config",
                                     "$DisTool:",
                                     "26,30",
                                     "$Radio1:00,Oscillator(振荡方式)",
                                     "4MHz~20MHz",
                                     "Internal RC",
                                     "Reserved",
                                     "External in XTAL1",
                                     "$end"};
constexpr const char* kConfig[] = {"0:    79e2051",
                                   "n=FOSC0,v=1,c=1,m=01,b=0",
                                   "n=FOSC1,v=1,c=1,m=02,b=1",
                                   "n=BPFR ,l=1,v=1,b=2",
                                   "n=CBOV0,v=1,b=5",
                                   "n=CBOV1,v=1,b=6",
                                   "n=WDTCK,l=1,v=1,b=7",
                                   "n=FS1(RC10/20M),l=1,v=1,a=1,b=5",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "1:    8213/9311/342",
                                   "n=FOSC0,c=1,m=01,b=0",
                                   "n=FOSC1,c=1,m=02,b=1",
                                   "n=BPFR ,l=1,v=1,b=2",
                                   "n=CBOD ,v=1,b=3",
                                   "n=BOV  ,v=1,b=4",
                                   "n=PRHI ,v=1,b=5",
                                   "n=RPD  ,v=1,b=6",
                                   "n=WDTCK,v=1,b=7",
                                   "n=NVMS0,v=1,a=1,b=0",
                                   "n=NVMS1,v=1,a=1,b=1",
                                   "n=HS1,v=1,a=1,b=2",
                                   "n=FS1(RC10/20M),v=1,a=1,b=5",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "$end"};
constexpr int kOps[] = {kOpErase,  kOpBlank, kOpWrite,  kOpVerify,
                        kOpConfig, kOpRead,  kOpReadId, kOpReadConfig};
}  // namespace w79e2051

class W79E2051 final : public IcpSet {
 public:
  static constexpr std::array<IcpType, 5> kTypes = {{
      {.name = "Exit"},
      {.name = "1: W79E2051-PIN20",
       .bitstream = "w79e2051dip20.bit",
       .vccPin = 30,
       .vppPin = 11,
       .groundPin = 20,
       .contactMask = SocketPins(11, 30)},
      {.name = "2: W79E2051-PIN16",
       .bitstream = "w79e2051dip16.bit",
       .vccPin = 30,
       .vppPin = 11,
       .groundPin = 18,
       .contactMask = SocketPins(11, 18) | SocketPins(23, 30),
       .placeRow = 11,
       .placePins = 16},
      {.name = "3: W79E2051-PIN14",
       .bitstream = "w79e2051dip14.bit",
       .vccPin = 30,
       .vppPin = 11,
       .groundPin = 17,
       .contactMask = SocketPins(11, 17) | SocketPins(24, 30),
       .placeRow = 11,
       .placePins = 14},
      {.name = "4: W79E9311-PIN20",
       .bitstream = "w79e82xp20.bit",
       .vccPin = 25,
       .vppPin = 14,
       .groundPin = 15,
       .contactMask = SocketPins(11, 11) | SocketPins(14, 15) | SocketPins(18, 30)},
  }};

 private:
  const IcpPolicy& Policy() const override { return w79e2051::kPolicy; }
  std::span<const IcpType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return w79e2051::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return w79e2051::kConfig; }
  std::span<const int> Operations() const override { return w79e2051::kOps; }
};

}  // namespace zelvar::mcs51
