#pragma once
// "W79E82ISP": the W79E82x and W79E2051 families through the command-level logic of
// "w79e82iw.bit" (the ISP header, row 1, its legend by "pkg=") and "w79e82iw20.bit" (the socket).
// The logic takes whole bytes, command bits, read and program steps as command bytes, so the set
// toggles no lines. Every operation but Erase, Config and Read config first checks at 3.3 V that
// the chip answers with the maker code 0xDA. Data flash at 0xFC00 ("ee="), configuration at
// "cfa=" (0xFD00 when absent).
#include <array>
#include <span>

#include "algorithms/mcs51/SerialEngine.h"

namespace zelvar::mcs51 {

namespace w79e82isp {
#define ZELVAR_W79E82ISP_RADIO                                                                     \
  "$Radio1:00,Oscillator(振荡方式)", "4MHz~20MHz", "Internal RC", "Reserved", "External in XTAL1", \
      "$end"
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",  "22 Blank",
                                     "23 Write",  "24 Verify", "25 Config",
                                     "$DisTool:", "26,30,32,", ZELVAR_W79E82ISP_RADIO};
constexpr const char* kDescribeData[] = {
    "$Fonc:",    "21 Erase",  "22 Blank",  "23 Write", "24 Verify",
    "32 WrData", "25 Config", "$DisTool:", "26,30,",   ZELVAR_W79E82ISP_RADIO};
constexpr const char* kConfig[] = {"0: (82xxx)",
                                   "n=FOSC0 (振荡选择),v=1,a=0,b=0,c=1,m=0x01",
                                   "n=FOSC1 (振荡选择),v=0,a=0,b=1,c=1,m=0x02",
                                   "n=BOV (0=3.8v/1=2.5v),v=1,a=0,b=4",
                                   "n=PRHI (复位后口状态),v=1,a=0,b=5",
                                   "n=RPD  (允许外部复位),v=1,a=0,b=6",
                                   "n=WDTE (看门狗),v=1,a=0,b=7",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "1:    79e2051",
                                   "n=FOSC0,v=1,c=1,m=01,b=0",
                                   "n=FOSC1,v=1,c=1,m=02,b=1",
                                   "n=BPFR ,l=1,v=1,b=2",
                                   "n=CBOV0,v=1,b=5",
                                   "n=CBOV1,v=1,b=6",
                                   "n=WDTCK,l=1,v=1,b=7",
                                   "n=FS1(RC10/20M),l=1,v=1,a=1,b=5",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "2:    8213/9311/342",
                                   "n=FOSC0,c=1,m=01,b=0",
                                   "n=FOSC1,c=1,m=02,b=1",
                                   "n=BPFR,l=1,v=1,b=2",
                                   "n=CBOD ,v=1,b=3",
                                   "n=BOV  ,v=1,b=4",
                                   "n=PRHI ,v=1,b=5",
                                   "n=RPD  ,v=1,b=6",
                                   "n=WDTCK,v=1,b=7",
                                   "n=NVMS0(保护EE),v=1,a=1,b=0",
                                   "n=NVMS1(保护EE),v=1,a=1,b=1",
                                   "n=HS1,v=1,a=1,b=2",
                                   "n=FS1(RC10/20M),v=1,a=1,b=5",
                                   "n=C6 (加密数据),v=1,a=1,b=6",
                                   "n=C7 (加密代码),v=1,a=1,b=7",
                                   "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank,  kOpWrite,      kOpVerify,   kOpConfig,
                        kOpRead,  kOpReadId, kOpReadConfig, kOpReadData, kOpWriteData};
}  // namespace w79e82isp

class W79E82ISP final : public Mcs51Set {
 public:
  static constexpr std::array<IcpType, 5> kTypes = {{
      {.name = "Exit"},
      {.name = "1: ISP", .bitstream = "w79e82iw.bit", .vccPin = 22, .vppPin = 21},
      {.name = "2: W79e82xxDIP20",
       .bitstream = "w79e82iw20.bit",
       .vccPin = 25,
       .vppPin = 14,
       .groundPin = 15},
      {.name = "2: W79e2051DIP20", .vccPin = 30, .vppPin = 11, .groundPin = 20},
      {.name = "3: W79E2051DIP20",
       .bitstream = "w79e82iw20.bit",
       .vccPin = 25,
       .vppPin = 14,
       .groundPin = 15,
       .contactMask = SocketPins(14, 15) | SocketPins(25, 27)},
  }};
  static constexpr std::string_view kRequiredItems = "len=";
  // Rows without a design are refused at set-up; the header row has no ground pin.
  static void CheckRow(const IcpType& t, TypeTableReport& r);

 private:
  const IcpType& Row() const { return kTypes[static_cast<std::size_t>(gApp.TypeIndex)]; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override { return w79e82isp::kConfig; }
  std::span<const int> Operations() const override { return w79e82isp::kOps; }
  std::uint32_t LastAddress() const override { return lastAddress_; }
  std::uint32_t DataStart() const override { return kIcpDataStart; }
  std::uint32_t DataLength() const override { return dataLength_; }

  void Init() override;
  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadId() override;
  void ReadConfig() override;
  void ReadData() override;
  void WriteData() override;

  void Enter() const;
  // The 3.3 V maker-code check; false (logged, StatusWord 1) when the chip is not there.
  bool CheckChip();
  bool Scan(Scan kind);
  void ReadBlocks(std::uint32_t first, std::uint32_t end);
  void WriteBytes(std::uint32_t first, std::uint32_t count, bool progress);

  std::uint32_t lastAddress_ = 0;
  std::uint32_t dataLength_ = 0;
  std::uint16_t configAddress_ = 0xFD00;
};

}  // namespace zelvar::mcs51
