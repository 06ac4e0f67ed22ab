// "I27CX": 16-bit EPROMs in 40-, 42- and 44-pin packages, each type with its own bitstream. The
// chip is driven through FPGA registers: register 18 sets one control line (n low, n + 128
// high), registers 21 to 23 take the address.
#include <cstring>

#include "algorithms/memory/MemorySet.h"
#include "algorithms/memory/Sets.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {
namespace memory {
namespace {

constexpr const char* kList[] = {"$Fonc:",
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

constexpr std::uint32_t kWordBlockBytes = 8192;
constexpr std::uint8_t kCmdReadWords = 65;  // with n: n x 64 bytes from the current address on
constexpr std::uint8_t kCmdPutWord = 69;    // with the low and the high byte
constexpr std::uint8_t kCmdNextWord = 70;
constexpr std::uint8_t kLineRegister = 18;
constexpr int kSizes = 8;

struct WideType {
  char bitstream[50];
  std::uint32_t lastAddress;
  std::uint8_t programLine;
  std::uint8_t vccPin;
  std::uint8_t vppPin;
  std::uint8_t groundCode;
  std::uint32_t lastBySize[kSizes];
  std::uint64_t maskBySize[kSizes];
};

constexpr std::uint64_t Pin(int p) {
  return std::uint64_t{1} << (p - 1);
}
constexpr std::uint64_t Pins(int from, int to) {
  std::uint64_t m = 0;
  for (int p = from; p <= to; ++p) m |= Pin(p);
  return m;
}

struct SizeRow {
  int mem;
  std::uint32_t last;
  std::uint64_t mask;
};

WideType MakeWideType(const char* file, std::uint8_t line, std::uint8_t vcc, std::uint8_t vpp,
                      std::uint8_t ground, std::initializer_list<SizeRow> sizes) {
  WideType t{};
  std::strncpy(t.bitstream, file, sizeof t.bitstream - 1);
  t.programLine = line;
  t.vccPin = vcc;
  t.vppPin = vpp;
  t.groundCode = ground;
  for (const SizeRow& s : sizes) {
    t.lastBySize[s.mem] = s.last;
    t.maskBySize[s.mem] = s.mask;
  }
  return t;
}

class I27CX final : public MemorySet {
 public:
  TypeTable<WideType, 20> table;

 private:
  std::uint32_t pulseSteps_ = 0;  // "dly=": 100 µs steps of one program pulse
  std::uint64_t contactMask_ = 0;

  void BuildTypeTable() {
    table = {};
    auto& r = table.rows;
    const std::uint64_t dip40 = Pins(1, 40), no38 = Pins(1, 37) | Pins(39, 40);
    const std::uint64_t big = Pins(1, 41) | Pin(48);
    r[1] = MakeWideType("m27c160dip42.bit", 2, 21, 31, 100,
                        {{2, 0x1FFFF, Pins(2, 23) | Pins(25, 40)},
                         {3, 0x3FFFF, Pins(2, 40)},
                         {4, 0x7FFFF, dip40},
                         {5, 0xFFFFF, dip40 | Pin(48)},
                         {6, 0x1FFFFF, big}});
    r[2] = MakeWideType("at27c2048dip40.bit", 4, 40, 1, 100,
                        {{2, 0x1FFFF, no38}, {3, 0x3FFFF, dip40}});
    r[3] = MakeWideType("at27c4096dip40.bit", 2, 40, 1, 100, {{4, 0x7FFFF, dip40}});
    r[4] =
        MakeWideType("at27c2048p44.bit", 4, 42, 48, 100, {{2, 0x1FFFF, no38}, {3, 0x3FFFF, dip40}});
    r[5] = MakeWideType("at27c4096p44.bit", 2, 42, 48, 12, {{4, 0x7FFFF, dip40}});
    r[6] =
        MakeWideType("m27c322dip42.bit", 2, 21, 12, 100, {{6, 0x1FFFFF, big}, {7, 0x3FFFFF, big}});
    r[7] =
        MakeWideType("m27v320sop44.bit", 2, 21, 12, 100, {{6, 0x1FFFFF, big}, {7, 0x3FFFFF, big}});
    table.used = 8;
  }

  const WideType& Type() const { return table.Chosen(); }

  void Init() override {
    BuildTypeTable();
    WideType& t =
        table.rows[gApp.TypeIndex > 0 && gApp.TypeIndex < table.used ? gApp.TypeIndex : 0];
    LoadBitstream(t.bitstream);
    // A size class outside the arrays reads as no size: last address 0, no contact pins.
    const int mem = services().ChipParam("mem=");
    t.lastAddress = mem >= 0 && mem < kSizes ? t.lastBySize[mem] : 0;
    contactMask_ = mem >= 0 && mem < kSizes ? t.maskBySize[mem] : 0;
    pulseSteps_ = ChipPulseSteps();
    vppMillivolts_ = 12700;
    vccMillivolts_ = ChipVccMillivolts();
    SetVppVoltage(vppMillivolts_);
    readMode_ = kReadMode;
    writeMode_ = kWriteMode;
    lastAddress_ = t.lastAddress;
    SetVccVoltage(vccMillivolts_);
    SelectGndPin(t.groundCode);
  }

  TypeFacts Facts() const override { return {Type().lastAddress, contactMask_, Type().groundCode}; }
  std::span<const char* const> DescribeList() const override { return kList; }

  static void Line(int line, bool high) {
    WriteFpgaRegister(kLineRegister, static_cast<std::uint8_t>(line + (high ? 128 : 0)));
  }

  void SetAddress(std::uint32_t address) override {
    WriteFpgaRegister(21, static_cast<std::uint8_t>(address));
    WriteFpgaRegister(22, static_cast<std::uint8_t>(address >> 8));
    WriteFpgaRegister(23, static_cast<std::uint8_t>(address >> 16));
  }

  bool PowerUpChip() {
    SelectVccPin(0);
    RestoreSupplies();
    PutCmd1(kCmdSettleWait);
    SelectVccPin(Type().vccPin);
    PutCmd1(kCmdErasePulse);
    if (!CheckPower()) return false;
    WriteFpgaRegister(kLineRegister, 7);
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
    PutCmd2(kCmdReadWords, static_cast<std::uint8_t>(bytes / 64));
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
    s.last = Type().lastAddress;
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
    while (Type().lastAddress > counter && counter + kWordBlockBytes <= kCodeBufferSize) {
      ShowProgress(static_cast<int>(counter));
      ReadBlock(start_ + counter, buffer_ + counter, kWordBlockBytes);
      counter += kWordBlockBytes;
      if (Word(kRangeEndWord) < start_ + counter) break;
    }
    ShowProgress(static_cast<int>(start_ + counter));
    SelectVccPin(0);
    ShowProgress(-1);
  }

  // One word per pulse; Verify checks the chip.
  void Write() {
    const WideType& t = Type();
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
    for (std::uint32_t offset = 0; offset <= t.lastAddress && start_ + offset <= t.lastAddress;
         offset += 2) {
      const std::uint32_t address = start_ + offset;
      if (end < address) break;
      if (offset % 4096 == 0) ShowProgress(static_cast<int>(offset));
      PutCmd3(kCmdPutWord, buffer_[offset], buffer_[offset + 1]);
      Line(t.programLine, false);
      for (std::uint32_t i = 0; i < steps; ++i) PutCmd1(kCmdWait100us);
      Line(t.programLine, true);
      PutCmd1(kCmdNextWord);
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

I27CX gI27CX;

}  // namespace
}  // namespace memory

std::uint8_t I27CXDispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list) {
  return memory::gI27CX.Dispatch(op, buffer, record, list);
}

}  // namespace zelvar
