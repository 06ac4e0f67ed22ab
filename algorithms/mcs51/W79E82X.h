#pragma once
// "W79E82X": the W79E82x family (20- and 28-pin) over the 8-bit bus, with its data flash at 0xFC00
// and the configuration bytes at "cfa=" (0xFD00 when absent). Models 6300 and up use rows 11 on;
// rows that name no pins are refused at set-up.
#include <array>
#include <span>

#include "algorithms/mcs51/SerialEngine.h"

namespace zelvar::mcs51 {

namespace w79e82x {
constexpr IcpPolicy kPolicy{.nibbleBus = false,
                            .block = 64,
                            .configAddress = 0xFD00,
                            .configFromParam = true,
                            .shiftRowsAt6300 = true,
                            .vcc5000As4400 = true,
                            .configFormat = "Config1=%02x,Config2=%02x"};
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 Config",
                                     "$DisTool:",
                                     "26,28,30,31,",
                                     "$Radio1:00,Oscillator(振荡方式)",
                                     "4MHz~20MHz",
                                     "Internal RC",
                                     "Reserved",
                                     "External in XTAL1",
                                     "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=FOSC0 (振荡选择),v=1,a=0,b=0,c=1,m=0x01",
                                   "n=FOSC1 (振荡选择),v=0,a=0,b=1,c=1,m=0x02",
                                   "n=BOV (0=3.8v/1=2.5v),v=1,a=0,b=4",
                                   "n=PRHI (复位后口状态),v=1,a=0,b=5",
                                   "n=RPD  (允许外部复位),v=1,a=0,b=6",
                                   "n=WDTE (看门狗),v=1,a=0,b=7",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "1:    79e2051",
                                   "n=FOSC0,c=1,m=01,b=0",
                                   "n=FOSC1,c=1,m=02,b=1",
                                   "n=BPFR ,b=2",
                                   "n=CBOD ,b=3",
                                   "n=LVD  ,b=4",
                                   "n=WDTCK,b=7",
                                   "n=NVMS0,a=1,b=0",
                                   "n=NVMS1,a=1,b=1",
                                   "n=FS1(RC10/20M),a=1,b=5",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "2:    8213/9311/342",
                                   "n=FOSC0,c=1,m=01,b=0",
                                   "n=FOSC1,c=1,m=02,b=1",
                                   "n=BPFR ,b=2",
                                   "n=CBOD ,b=3",
                                   "n=BOV  ,b=4",
                                   "n=PRHI ,b=5",
                                   "n=RPD  ,b=6",
                                   "n=WDTCK,b=7",
                                   "n=NVMS0,a=1,b=0",
                                   "n=NVMS1,a=1,b=1",
                                   "n=HS1,a=1,b=2",
                                   "n=FS1(RC10/20M),a=1,b=5",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
constexpr std::uint64_t kOldPins =
    SocketPins(6, 6) | SocketPins(9, 10) | SocketPins(13, 15) | SocketPins(26, 35);
}  // namespace w79e82x

class W79E82X final : public IcpSet {
 public:
  static constexpr std::array<IcpType, 15> kTypes = {{
      {.name = "Exit"},
      {.name = "1: DIP28",
       .bitstream = "w79e82x.bit",
       .vccPin = 30,
       .vppPin = 9,
       .groundPin = 10,
       .contactMask = w79e82x::kOldPins,
       .placeRow = 4,
       .placePins = 28},
      {.name = "2: DIP20",
       .bitstream = "w79e82x.bit",
       .vccPin = 30,
       .vppPin = 9,
       .groundPin = 10,
       // Every pin of the 20-pin package from socket pin 6.
       .contactMask = SocketPins(6, 15) | SocketPins(26, 35),
       .placeRow = 6,
       .placePins = 20},
      {.name = "3: DIP14", .bitstream = "w79e82x.bit"},
      {.name = "4: DIP8"},
      {},
      {},
      {},
      {},
      {},
      {.name = "Exit"},
      {.name = "1: DIP28"},
      {.name = "2: DIP20",
       .bitstream = "w79e82xp20.bit",
       .vccPin = 25,
       .vppPin = 14,
       .groundPin = 15,
       .contactMask = SocketPins(11, 11) | SocketPins(14, 15) | SocketPins(18, 30)},
      {.name = "3: DIP14"},
      {.name = "4: DIP8"},
  }};

 private:
  const IcpPolicy& Policy() const override { return w79e82x::kPolicy; }
  std::span<const IcpType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return w79e82x::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return w79e82x::kConfig; }
  std::span<const int> Operations() const override { return w79e82x::kOps; }
};

}  // namespace zelvar::mcs51
