#pragma once
// "I27CX": 16-bit EPROMs in 40-, 42- and 44-pin packages, each type with its own bitstream. The
// chip is driven through FPGA registers: register 18 sets one control line (n low, n + 128
// high), registers 21 to 23 take the address.
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/WordEprom.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

// One type: its bitstream, control line and supply pins, and per "mem=" size class its last
// address and contact pins (size classes the row lacks read as no size and no pins).
struct WideSize {
  int mem = -1;
  std::uint32_t lastAddress = 0;
  std::uint64_t contactMask = 0;
};
struct WideType {
  std::string_view bitstream;  // also the row's caption
  std::uint8_t programLine = 0;
  std::uint8_t vccPin = 0;
  std::uint8_t vppPin = 0;
  std::uint8_t groundCode = 0;  // SelectGndPin's code: 100 is pins 11 and 30
  std::array<WideSize, 5> sizes{};
  std::uint32_t vppMillivolts = 12700;
  // VCC through Write where the maker's datasheet programs at a raised VCC; 0: the line's VCC.
  std::uint32_t programVccMillivolts = 0;
  std::uint32_t pulseStepUs = 100;  // the unit of "dly=": 100 µs, 50 µs for a 50 µs part

  constexpr WideSize Size(int mem) const {
    for (const WideSize& s : sizes) {
      if (s.mem >= 0 && s.mem == mem) return s;
    }
    return {};
  }
  // The socket pins the ground code grounds.
  constexpr std::array<int, 2> GroundPins() const {
    return groundCode == 100 ? std::array<int, 2>{11, 30} : std::array<int, 2>{groundCode, 0};
  }
};

// The 16-bit EPROM family's rules for one row: the bitstream is named, VCC and VPP are distinct
// socket pins off the ground pins, and each size class is a power of two within the socket.
inline void CheckWideRow(const WideType& t, TypeTableReport& r) {
  constexpr int kSocket = 48;
  if (t.bitstream.empty()) r.Fault("no bitstream");
  r.bitstreams.emplace_back(t.bitstream);
  const auto g = t.GroundPins();
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {g[0], g[1]}, kSocket);
  int classes = 0;
  for (const WideSize& s : t.sizes) {
    if (s.mem < 0) continue;
    ++classes;
    r.SizeIsPowerOfTwo(s.lastAddress);
    r.MaskInSocket(s.contactMask, kSocket);
    if (t.Size(s.mem).lastAddress != s.lastAddress) r.Fault("size class listed twice");
  }
  if (classes == 0) r.Fault("no size class");
  if (t.pulseStepUs != 50 && t.pulseStepUs != 100) r.Fault("pulse unit neither 50 nor 100 us");
  if (t.programVccMillivolts > 7000) r.Fault("programming VCC above the programmer's range");
}

class I27CX final : public MemorySet {
 public:
  // Every line of the set gives these items.
  static constexpr std::string_view kRequiredItems = "vcc= mem= dly=";
  static constexpr std::uint64_t kDip40 = SocketPins(1, 40), kNo38 = SocketPins(1, 40, 38);
  static constexpr std::uint64_t kBig = SocketPins(1, 41) | SocketPins(48, 48);
  // Atmel's parts program at VPP 13.0 V and VCC 6.5 V (the AT27C1024 and AT27C4096 datasheets),
  // the AT27C4096 with 50 µs pulses. ST's 42-pin parts take 50 µs pulses at VCC 6.25 V, VPP 12.5 V
  // on BYTE/VPP (the M27C160 class) and 12 V on G/VPP (the M27C322), as their datasheets give; the
  // M27V320 row keeps the set's 12.7 V at the line's VCC.
  static constexpr std::array<WideType, 8> kTypes = {{
      {},
      {.bitstream = "m27c160dip42.bit",
       .programLine = 2,
       .vccPin = 21,
       .vppPin = 31,
       .groundCode = 100,
       .sizes = {{{2, 0x1FFFF, SocketPins(2, 40, 24)},
                  {3, 0x3FFFF, SocketPins(2, 40)},
                  {4, 0x7FFFF, kDip40},
                  {5, 0xFFFFF, kDip40 | SocketPins(48, 48)},
                  {6, 0x1FFFFF, kBig}}},
       .vppMillivolts = 12500,
       .programVccMillivolts = 6250,
       .pulseStepUs = 50},
      {.bitstream = "at27c2048dip40.bit",
       .programLine = 4,
       .vccPin = 40,
       .vppPin = 1,
       .groundCode = 100,
       .sizes = {{{2, 0x1FFFF, kNo38}, {3, 0x3FFFF, kDip40}}},
       .vppMillivolts = 13000,
       .programVccMillivolts = 6500},
      {.bitstream = "at27c4096dip40.bit",
       .programLine = 2,
       .vccPin = 40,
       .vppPin = 1,
       .groundCode = 100,
       .sizes = {{{4, 0x7FFFF, kDip40}}},
       .vppMillivolts = 13000,
       .programVccMillivolts = 6500,
       .pulseStepUs = 50},
      {.bitstream = "at27c2048p44.bit",
       .programLine = 4,
       .vccPin = 42,
       .vppPin = 48,
       .groundCode = 100,
       .sizes = {{{2, 0x1FFFF, kNo38}, {3, 0x3FFFF, kDip40}}},
       .vppMillivolts = 13000,
       .programVccMillivolts = 6500},
      {.bitstream = "at27c4096p44.bit",
       .programLine = 2,
       .vccPin = 42,
       .vppPin = 48,
       .groundCode = 12,
       .sizes = {{{4, 0x7FFFF, kDip40}}},
       .vppMillivolts = 13000,
       .programVccMillivolts = 6500,
       .pulseStepUs = 50},
      {.bitstream = "m27c322dip42.bit",
       .programLine = 2,
       .vccPin = 21,
       .vppPin = 12,
       .groundCode = 100,
       .sizes = {{{6, 0x1FFFFF, kBig}, {7, 0x3FFFFF, kBig}}},
       .vppMillivolts = 12000,
       .programVccMillivolts = 6250,
       .pulseStepUs = 50},
      {.bitstream = "m27v320sop44.bit",
       .programLine = 2,
       .vccPin = 21,
       .vppPin = 12,
       .groundCode = 100,
       .sizes = {{{6, 0x1FFFFF, kBig}, {7, 0x3FFFFF, kBig}}}},
  }};

  static void CheckRow(const WideType& t, TypeTableReport& r) { CheckWideRow(t, r); }

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "22 Blank",
                                          "23 Write",
                                          "24 Verify",
                                          "$DisTool:",
                                          "21,25,26,28,29,30,31,",
                                          "$Radio1:00,Delay(延迟)",
                                          "1 time",
                                          "2 times",
                                          "3 times",
                                          "4 times",
                                          "$Gridw:Addr space(地址范围)",
                                          "Addr start",
                                          "0000",
                                          "Addr end",
                                          "0FFFFFF",
                                          "$end"};
  static constexpr std::uint32_t kWordBlockBytes = 8192;

  std::uint32_t pulseSteps_ = 0;  // "dly=": 100 µs steps of one program pulse
  std::uint64_t contactMask_ = 0;

  const WideType& Type() const { return ChosenRow(kTypes); }

  void Init() override {
    const WideType& t = Type();
    LoadBitstream(std::string(t.bitstream).c_str());
    // A size class the row lacks reads as no size: last address 0, no contact pins.
    const WideSize size = t.Size(services().ChipParam("mem="));
    contactMask_ = size.contactMask;
    pulseSteps_ = ChipPulseSteps();
    vppMillivolts_ = static_cast<int>(t.vppMillivolts);
    vccMillivolts_ = ChipVccMillivolts();
    SetVppVoltage(vppMillivolts_);
    lastAddress_ = size.lastAddress;
    SetVccVoltage(vccMillivolts_);
    SelectGndPin(t.groundCode);
  }

  TypeFacts Facts() const override { return {lastAddress_, contactMask_, Type().groundCode}; }
  std::span<const char* const> DescribeList() const override { return kList; }

  static void Line(int line, bool high) {
    WriteFpgaRegister(word_eprom::kLineRegister,
                      static_cast<std::uint8_t>(line + (high ? 128 : 0)));
  }

  void SetAddress(std::uint32_t address) override {
    for (std::uint8_t i = 0; i < 3; ++i) {
      WriteFpgaRegister(word_eprom::kAddressRegister0 + i,
                        static_cast<std::uint8_t>(address >> (8 * i)));
    }
  }

  bool PowerUpChip() {
    SelectVccPin(0);
    RestoreSupplies();
    PutCmd1(kCmdSettle);
    // CE# and OE# high before VCC: the last operation left every pin low, and the chip's
    // outputs must not come on against the data bus.
    Line(2, true);
    Line(3, true);
    SelectVccPin(Type().vccPin);
    PutCmd1(word_eprom::kCmdPowerUpWait);
    if (!CheckPower()) return false;
    WriteFpgaRegister(word_eprom::kLineRegister, 7);
    Line(2, false);
    Line(2, true);
    Line(2, true);
    Line(4, true);
    Line(3, false);
    Line(5, true);
    Line(6, false);
    SetAddress(0);
    Line(1, true);
    SetRegister25(0);
    FlushCommands();
    return true;
  }

  // Reads go on from where the previous block ended: the design counts the address up.
  void ReadBlock(std::uint32_t, std::uint8_t* dest, std::uint32_t bytes) override {
    PutCmd2(word_eprom::kCmdReadWords, static_cast<std::uint8_t>(bytes / 64));
    FlushCommands();
    ReadSetBlock(dest, bytes);
  }

  // The range start on a word boundary, shared by Write, Verify and Read.
  std::uint32_t WordStart() const { return Word(kRangeStartWord) & ~1u; }

  void StartReads() {
    start_ = WordStart();
    SetAddress(start_);
    Line(1, true);
    Line(3, false);
    Line(2, false);
    FlushCommands();
  }

  bool Compare(const std::uint8_t* expected) {
    StartReads();
    gLink.StatusWord = 0;
    Scan s;
    s.start = start_;
    s.last = lastAddress_;
    s.end = RangeEndExclusive();
    s.expected = expected;
    s.progressByCounter = true;
    s.blockBytes = kWordBlockBytes;
    if (!CompareBlocks(s)) return false;
    ShowProgress(-1);
    SelectVccPin(0);
    return true;
  }

  void Read() {
    if (!CheckPower() || !PowerUpChip()) return;
    StartReads();
    std::uint32_t counter = 0;
    while (lastAddress_ > counter && counter + kWordBlockBytes <= kCodeBufferSize) {
      ShowProgress(static_cast<int>(counter));
      ReadBlock(start_ + counter, buffer_ + counter, kWordBlockBytes);
      counter += kWordBlockBytes;
      if (Word(kRangeEndWord) < start_ + counter) break;
    }
    ShowProgress(static_cast<int>(start_ + counter));
    SelectVccPin(0);
    ShowProgress(-1);
  }

  // One word per pulse, at the row's programming VCC; Verify checks the chip at the line's VCC.
  void Write() {
    const WideType& t = Type();
    struct KeepVcc {
      int& vcc;
      int readVcc;
      ~KeepVcc() { vcc = readVcc; }
    } keep{vccMillivolts_, vccMillivolts_};
    if (t.programVccMillivolts != 0) vccMillivolts_ = static_cast<int>(t.programVccMillivolts);
    if (!PowerUpChip() || !CheckPower()) return;
    start_ = WordStart();
    gLink.StatusWord = 0;
    SetAddress(start_);
    Line(1, false);
    Line(2, false);
    Line(t.programLine, true);
    Line(3, true);
    SelectVppPin(t.vppPin);
    const std::uint32_t steps = (Word(kRadio1Word) + 1) * pulseSteps_;
    const std::uint32_t end = Word(kRangeEndWord);
    for (std::uint32_t offset = 0; offset <= lastAddress_ && start_ + offset <= lastAddress_;
         offset += 2) {
      const std::uint32_t address = start_ + offset;
      if (end < address) break;
      if (offset % 4096 == 0) ShowProgress(static_cast<int>(offset));
      PutCmd3(word_eprom::kCmdPutWord, buffer_[offset], buffer_[offset + 1]);
      Line(t.programLine, false);
      for (std::uint32_t i = 0; i < steps; ++i) {
        if (t.pulseStepUs == 50) {
          for (int k = 0; k < 5; ++k) PutCmd1(word_eprom::kCmdWait10us);
        } else {
          PutCmd1(word_eprom::kCmdWait100us);
        }
      }
      Line(t.programLine, true);
      PutCmd1(word_eprom::kCmdNextWord);
      if ((offset + 2) % 256 == 0) FlushCommands();
    }
    FlushCommands();
    EndOfWrite();
  }

  bool Run(int op) override {
    switch (op) {
      case kOpBlank:
        if (PowerUpChip() && CheckPower() && PowerUpChip()) Compare(nullptr);
        return true;
      case kOpWrite:
        Write();
        return true;
      case kOpVerify:
        if (PowerUpChip()) Compare(buffer_);
        return true;
      case kOpRead:
        Read();
        return true;
      default:
        return false;
    }
  }
};

}  // namespace zelvar::memory
