#pragma once
// "W79E225": the 44-pin W79E225 with three arrays, on the serial engine's 8-bit bus: the
// application flash (AP, "len="), the 4 KB loader flash (LD, behind the AP in the buffer, handled
// when the "$Radio1" switch says "En LD") and the data flash ("ee=", behind the LD, by Read data
// and Write data). The chip enters its mode by control lines alone (no VPP, no entry code); the
// configuration bytes sit at 0x6000 of the LD space.
#include <array>
#include <span>

#include "algorithms/mcs51/SerialEngine.h"

namespace zelvar::mcs51 {

namespace w79e225 {
constexpr IcpPolicy kPolicy{.nibbleBus = false,
                            .block = 64,
                            .configAddress = 0x6000,
                            .configFormat = "Config1=%02x,Config2=%02x",
                            .configRead = 0x40,
                            .configWrite = 0x41};
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "32 WrData",
                                     "25 Config",
                                     "$DisTool:",
                                     "26,28,30,31,",
                                     "$Radio1:00,LD flash",
                                     "No LD(不写加载程序)",
                                     "En LD(写加载程序)",
                                     "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=AP Lock(加密),v=1,a=0,b=0",
                                   "n=MOVC Inhibit,v=1,a=0,b=1",
                                   "n=EE Lock(数据加密),v=1,a=0,b=2",
                                   "n=H/W(P3.6/7复位),v=1,a=0,b=4",
                                   "n=H/W(P4.3复位),v=1,a=0,b=5",
                                   "n=Dis Clock filter,v=1,a=0,b=6",
                                   "n=Crystal>24M,v=1,a=0,b=7",
                                   "n=PWMOE,v=1,a=1,b=0",
                                   "n=PWMEE,v=1,a=1,b=1",
                                   "n=OPOL,v=1,a=1,b=2",
                                   "n=EPOL,v=1,a=1,b=3",
                                   "n=PWM6E,v=1,a=1,b=6",
                                   "n=PWM7E,v=1,a=1,b=7",
                                   "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank,      kOpWrite,    kOpVerify,   kOpConfig,
                        kOpRead,  kOpReadConfig, kOpReadData, kOpWriteData};
}  // namespace w79e225

class W79E225 final : public IcpSet {
 public:
  static constexpr std::array<IcpType, 3> kTypes = {{
      {.name = "Exit"},
      {.name = "1: plcc44",
       .bitstream = "w79e225p44.bit",
       .vccPin = 27,
       .groundPin = 15,
       .contactMask = SocketPins(7, 14) | SocketPins(17, 19) | SocketPins(28, 38)},
      {.name = "2: 48", .bitstream = "w79e225p44.bit", .vccPin = 27, .groundPin = 15},
  }};
  static constexpr std::string_view kRequiredItems = "len=";
  // No VPP pin: the rows name VCC and ground only.
  static void CheckRow(const IcpType& t, TypeTableReport& r);

 private:
  static constexpr std::uint32_t kLoaderSize = 4096;
  const IcpPolicy& Policy() const override { return w79e225::kPolicy; }
  std::span<const IcpType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return w79e225::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return w79e225::kConfig; }
  std::span<const int> Operations() const override { return w79e225::kOps; }
  // The buffer view and progress span AP and LD; the data area follows the LD.
  std::uint32_t LastAddress() const override { return lastAddress_ + kLoaderSize; }
  std::uint32_t DataStart() const override { return ApSize() + kLoaderSize; }
  std::uint32_t ApSize() const { return lastAddress_ + 1; }
  bool LoaderOn() const { return Word(128) != 0; }

  void Enter() override;
  void Read() override;
  void Blank() override;
  void Verify() override;
  void Write() override;
  void ReadData() override;
  void WriteData() override;
  // With "No LD", data in the buffer's loader window, which neither Write nor Verify reaches:
  // Verify fails there and Write is refused before it changes anything. True when found.
  bool LoaderDataLeftOut(bool verify);
  // The AP, then (with the LD switch on) the LD from a new mode entry when `reenter`.
  bool Scan(Mcs51Set::Scan kind, bool reenter);
  bool ScanArray(Mcs51Set::Scan kind, std::uint8_t command, std::uint32_t first,
                 std::uint32_t length);
};

}  // namespace zelvar::mcs51
