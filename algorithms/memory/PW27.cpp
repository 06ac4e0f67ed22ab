// "PW27": electrically erasable W27E EPROMs.
#include "algorithms/memory/EpromSet.h"
#include "algorithms/memory/Sets.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar {
namespace memory {
namespace {

constexpr const char* kList[] = {"$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
                                 "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Option",
                                 "Addr start", "0000",      "Addr end",        "0FFFFFF",
                                 "$end"};

class PW27 final : public EpromSet {
 public:
  TypeTable<EpromType, 6> table;

 private:
  void BuildTypeTable() {
    const std::uint64_t dip32 = SocketPins(6, 36, 34);
    table = {};
    auto& r = table.rows;
    r[0] = MakeEpromType("???", 0, 0, 0, 0, 0, 0);
    r[1] = MakeEpromType("W27e512 (64Kx8)", 0xFFFF, 34, 28, 26, 12000, SocketPins(8, 34));
    r[2] = MakeEpromType("W27e010 (128Kx8)", 0x1FFFF, 36, 5, 35, 12000, dip32);
    r[3] = MakeEpromType("W27e020 (256Kx8)", 0x3FFFF, 36, 5, 35, 12000, dip32);
    r[4] = MakeEpromType("W27e040 (512Kx8)", 0x7FFFF, 36, 5, 26, 12000, dip32);
    r[5] = MakeEpromType("W27e256  (32Kx8)", 0x7FFF, 34, 7, 26, 12000, SocketPins(8, 34));
    table.used = 6;
  }

  void Init() override {
    BuildTypeTable();
    LoadBitstream(kEpromBitstream);
    SetVccVoltage(5000);
    readMode_ = kReadMode;
    writeMode_ = kWriteMode;
    SetVppVoltage(0);
    InitHardwareState();
    SetVppVoltage(12000);
    SelectGndPin(kBottomGroundPin);
    vccMillivolts_ = 5000;
    vppMillivolts_ = 12000;
  }

  std::span<const char* const> DescribeList() const override { return kList; }
  const EpromType& Type() const override { return table.Chosen(); }
  const AddressPins& Pins() const override {
    static constexpr AddressPins kPins{{31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 35}, 5};
    return kPins;
  }

  void QueuePulse() override { PutCmd1(kCmdWait100us); }
  bool PrepareWrite() override { return PowerUp(); }

  // One erase pulse with A9 and OE/VPP at 14 V; the Blank after Erase judges it.
  void Erase() {
    const EpromType& t = Type();
    SetRegister25(writeMode_);
    SetAddress(0);
    if (!PowerUp()) return;
    PutCmd1(kCmdErasePulse);
    SetPinLow(26);
    SetPinHigh(28);
    SetPinHigh(30);
    SetPinHigh(t.vppPin);
    SetVppVoltage(14000);
    SelectVppPin(t.vppPin);
    SelectVppPin(30 + 128);
    SetPinLow(t.programPin);
    PutCmd1(kCmdErasePulse);
    SetPinHigh(t.programPin);
    SetPinLow(28);
    SetPinHigh(26);
    SetRegister24(30);
    SelectVppPin(0);
    SetVppVoltage(12000);
    SelectVccPin(0);
  }

  bool RunOwn(int op) override {
    if (op != kOpErase) return false;
    Erase();
    return true;
  }
};

PW27 gPW27;

}  // namespace
}  // namespace memory

std::uint8_t PW27Dispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list) {
  return memory::gPW27.Dispatch(op, buffer, record, list);
}

}  // namespace zelvar
