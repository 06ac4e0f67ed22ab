// "P27": 27-series EPROMs from the 2716 to the 27080 in 24-, 28- and 32-pin packages. The set does
// not erase them.
#include <array>

#include "algorithms/memory/EpromSet.h"
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

// The two describe lists differ in the pulse width they choose by default.
constexpr std::array<const char*, 21> MakeList(const char* radio) {
  return {"$Fonc:",
          "22 Blank",
          "23 Write",
          "24 Verify",
          "$DisTool:",
          "21,25,26,29,30,31,",
          "$Gridw:Addr(地址范围)",
          "Addr start",
          "0000",
          "Addr end",
          "0FFFFFF",
          radio,
          "100 uS",
          "200 uS",
          "1 mS",
          "2 mS",
          "5 mS",
          "10 mS",
          "20 mS",
          "50 mS",
          "$end"};
}
constexpr auto kListFast = MakeList("$Radio1:00,Delay(写延迟)");
constexpr auto kListSlow = MakeList("$Radio1:04,Delay(写延迟)");
// The 2716 takes a 50 ms pulse by its datasheet.
constexpr auto kList2716 = MakeList("$Radio1:07,Delay(写延迟)");

// Rows 1 to 3: the 2716, programmed by a high pulse on CE/PGM one byte at a time.
constexpr int kLast2716Row = 3;
// Rows 1 to 6: the 2716 and 2732, which carry no signature.
constexpr int kLast2732Row = 6;

bool Is2716Row() {
  return gApp.TypeIndex >= 1 && gApp.TypeIndex <= kLast2716Row;
}

class P27 final : public EpromSet {
 public:
  TypeTable<EpromType, 30> table;

 private:
  void BuildTypeTable() {
    const std::uint64_t dip24 = SocketPins(9, 32), dip28 = SocketPins(8, 34);
    const std::uint64_t dip32 = SocketPins(6, 36);
    table = {};
    auto& r = table.rows;
    r[0] = MakeEpromType("???", 0, 0, 0, 0, 0, 0);
    r[1] = MakeEpromType("2716    12.7v", 0x7FF, 32, 29, 26, 12500, dip24);
    r[2] = MakeEpromType("2716    21v", 0x7FF, 32, 29, 26, 21000, dip24);
    r[3] = MakeEpromType("2716    25v", 0x7FF, 32, 29, 26, 25000, dip24);
    r[4] = MakeEpromType("2732    12.7v", 0xFFF, 32, 28, 26, 12500, dip24);
    r[5] = MakeEpromType("2732    21v", 0xFFF, 32, 28, 26, 21000, dip24);
    r[6] = MakeEpromType("2732    25v", 0xFFF, 32, 28, 26, 25000, dip24);
    r[7] = MakeEpromType("2764    12.7v", 0x1FFF, 34, 7, 33, 12700, SocketPins(8, 34, 32));
    r[8] = MakeEpromType("2764    21v", 0x1FFF, 34, 7, 33, 21000, SocketPins(8, 34, 32));
    r[9] = MakeEpromType("2764    25v", 0x1FFF, 34, 7, 33, 25000, SocketPins(8, 34, 32));
    r[10] = MakeEpromType("27128   12.7v", 0x3FFF, 34, 7, 33, 12700, dip28);
    r[11] = MakeEpromType("27128   21v", 0x3FFF, 34, 7, 33, 21000, dip28);
    r[12] = MakeEpromType("27128   25v", 0x3FFF, 34, 7, 33, 25000, dip28);
    r[13] = MakeEpromType("27c256   12.7v", 0x7FFF, 34, 7, 26, 12700, dip28);
    r[14] = MakeEpromType("27c512   12.7v", 0xFFFF, 34, 28, 26, 12700, dip28);
    r[15] = MakeEpromType("27c513   12.7v", 0xFFFF, 34, 28, 26, 12700, dip28);
    r[16] = MakeEpromType("27010   12.7v", 0x1FFFF, 36, 5, 35, 12700, SocketPins(6, 36, 34));
    r[17] = MakeEpromType("27020   12.7v", 0x3FFFF, 36, 5, 35, 12700, dip32);
    r[18] = MakeEpromType("27040   12.7v", 0x7FFFF, 36, 5, 26, 12700, dip32);
    r[19] = MakeEpromType("27080   12.7v", 0xFFFFF, 36, 28, 26, 12700, dip32);
    r[20] = MakeEpromType("ST27256   12.7v", 0x7FFF, 34, 7, 26, 12700, 0);
    r[21] = MakeEpromType("ST27512   12.7v", 0xFFFF, 34, 28, 26, 12700, dip28);
    table.used = 22;
  }

  void Init() override {
    BuildTypeTable();
    LoadBitstream(kEpromBitstream);
    SetVccVoltage(5000);
    readMode_ = kReadMode;
    writeMode_ = kWriteMode;
    InitHardwareState();
    SelectGndPin(kBottomGroundPin);
    vppMillivolts_ = static_cast<int>(Type().vppMillivolts);
    vccMillivolts_ = 5000;
    SetVppVoltage(vppMillivolts_);
    SetVccVoltage(vccMillivolts_);
  }

  std::span<const char* const> DescribeList() const override {
    Services& s = services();
    if (Is2716Row()) return kList2716;
    if (s.ChipNameContains("27C") || s.ChipNameContains("27HC")) return kListFast;
    return kListSlow;
  }

  const EpromType& Type() const override { return table.Chosen(); }
  const AddressPins& Pins() const override {
    static constexpr AddressPins kPins{{31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 35, 5}};
    return kPins;
  }

  // The "Delay" choice: 100 µs, 200 µs, 1, 2, 5, 10, 20 or 50 ms.
  void QueuePulse() override {
    static constexpr int kSteps[] = {1, 2, 1, 2, 5, 10, 20, 50};
    const std::uint32_t choice = Word(kRadio1Word);
    if (choice > 7) return;
    const std::uint8_t cmd = choice < 2 ? kCmdWait100us : kCmdWait1ms;
    for (int i = 0; i < kSteps[choice]; ++i) PutCmd1(cmd);
  }

  bool PrepareWrite() override {
    if (!PowerUp()) return false;
    SetPinHigh(Type().programPin);
    PutCmd1(kCmdSettleWait);
    return CheckPower();
  }

  // The 2716: one byte per flush with a high pulse on CE/PGM, then the range read back.
  void Write2716() {
    const EpromType& t = Type();
    start_ = Word(kRangeStartWord);
    const std::uint32_t end = Word(kRangeEndWord);
    SetAddress(start_);
    SetPinLow(26);
    if (!PowerUp()) return;
    gLink.StatusWord = 0;
    SetRegister25(writeMode_);
    SetPinHigh(28);
    SelectVppPin(t.vppPin);
    std::uint32_t written = 0;
    for (std::uint32_t counter = 0; counter <= t.lastAddress; ++counter) {
      const std::uint32_t address = start_ + counter;
      if (end < address) break;
      if ((address & 0xFF) == 0) SetAddress(address);
      ShowProgress(static_cast<int>(counter));
      WritePort(2, buffer_[counter]);
      SetPinHigh(26);
      QueuePulse();
      SetPinLow(26);
      PutCmd1(kCmdNextAddress);
      FlushCommands();
      written = counter + 1;
    }
    SelectVppPin(0);
    // A byte that did not take fails the write here rather than at a later Verify.
    SetRegister25(readMode_);
    SetPinLow(28);
    Scan s;
    s.start = start_;
    s.last = t.lastAddress;
    s.end = start_ + written;
    s.expected = buffer_;
    if (!CompareBlocks(s)) return;
    ShowProgress(-1);
    SelectVccPin(0);
  }

  bool HasSignature() const override { return gApp.TypeIndex > kLast2732Row; }

  void Write() override {
    if (Is2716Row()) {
      Write2716();
    } else {
      EpromSet::Write();
    }
  }

  bool RunOwn(int op) override {
    if (op != kOpReadId) return false;
    ReadId();
    return true;
  }
};

P27 gP27;

}  // namespace
}  // namespace memory

std::uint8_t P27Dispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list) {
  return memory::gP27.Dispatch(op, buffer, record, list);
}

}  // namespace zelvar
