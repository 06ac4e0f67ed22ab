#pragma once
// "P29F640": 8- and 16-bit flash of the standard command set, 1 Mbit to 64 Mbit, in TSOP48,
// TSOP40, SOP44, DIP32 and DIP34 packages through adapters. Each row is an adapter and bus width
// with its bitstream; "mem=" picks the size, "cfg=" the sector layout (the sector protect grid),
// "msk=" the temporary unprotect (bit 0) and the protection register (bit 3). The design runs the
// bus cycles: the set writes addresses in the chip's own unit (words on 16-bit rows) to FPGA
// registers 21 to 23, lines and command cycles to register 18, and one command a byte or word.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

// The adapter codes SelectGndPin knows: 100 grounds socket pins 11 and 30.
inline constexpr std::uint8_t kGroundPins11And30 = 100, kAdapterSupply101 = 101;

// What every large-flash adapter row holds ("P29F640", "F640"): a bitstream, 8 or 16 data bits,
// a size of a power of two less one and a contact mask only for the "mem=" values it has, VCC and
// ground on the 48-pin socket or an adapter code. False when the row has no bitstream (nothing
// more to check).
template <class Row>
bool CheckAdapterRow(const Row& t, TypeTableReport& r) {
  constexpr int kSocket = 48;
  if (t.bitstream.empty()) {
    r.Fault("no bitstream");
    return false;
  }
  r.bitstreams.emplace_back(t.bitstream);
  if (t.width != 8 && t.width != 16) r.Fault("width neither 8 nor 16");
  for (std::size_t m = 0; m < t.sizes.size(); ++m) {
    if (t.sizes[m] != 0) r.SizeIsPowerOfTwo(t.sizes[m]);
    if (t.sizes[m] == 0 && t.masks[m] != 0) r.Fault("contact mask for a size the row lacks");
    r.MaskInSocket(t.masks[m], kSocket);
  }
  const auto adapterCode = [](int pin) {
    return pin == kGroundPins11And30 || pin == kAdapterSupply101;
  };
  if (!adapterCode(t.vccPin) && (t.vccPin < 1 || t.vccPin > kSocket))
    r.Fault("VCC pin off the socket");
  if (!adapterCode(t.gndPin) && (t.gndPin < 1 || t.gndPin > kSocket))
    r.Fault("ground pin off the socket");
  return true;
}

struct P29F640Type {
  std::string_view bitstream;
  std::uint8_t commandSet = 0;  // 3: unlock at 0x555/0x2AA, else 0x5555/0x2AAA
  std::uint8_t width = 8;
  std::uint8_t vccPin = 0, gndPin = 0;
  std::uint8_t resetPin = 0;                // takes 12 V for the temporary unprotect; 0: none
  std::uint8_t protectA = 0, protectB = 0;  // the two pins at 12 V for sector protect
  std::array<std::uint32_t, 8> sizes{};     // last addresses by "mem="
  std::array<std::uint64_t, 8> masks{};     // contact pins by "mem=", 0: no check
  constexpr bool wide() const { return width == 16; }
};

// The rules: a bitstream, width 8 or 16, sizes powers of two with a mask only where a size is,
// the supply and protect pins distinct and on the 48-pin socket (or an adapter code).
void CheckP29F640Row(const P29F640Type& t, TypeTableReport& r);

namespace p29f640_rows {
inline constexpr std::uint32_t kMbit1 = 0x1FFFF, kMbit2 = 0x3FFFF, kMbit4 = 0x7FFFF,
                               kMbit8 = 0xFFFFF, kMbit16 = 0x1FFFFF, kMbit32 = 0x3FFFFF,
                               kMbit64 = 0x7FFFFF;
inline constexpr std::array<std::uint32_t, 8> kUpTo64{0,      kMbit1,  kMbit2,  kMbit4,
                                                      kMbit8, kMbit16, kMbit32, kMbit64};
inline constexpr std::array<std::uint32_t, 8> kUpTo16{0, kMbit1, kMbit2, kMbit4, kMbit8, kMbit16};
inline constexpr std::array<std::uint32_t, 8> kOnly16{0, 0, 0, 0, 0, kMbit16};
inline constexpr std::array<std::uint32_t, 8> kUpTo4{0, kMbit1, kMbit2, kMbit4};
inline constexpr std::array<std::uint32_t, 8> kDip32{0xFFFF, kMbit1, kMbit2, kMbit4};

// The 16-bit TSOP48 adapter "tsop48p29": A0-A8 on socket pins 1-9, A9 on 12, A10-A17 on 13-20,
// A18-A21 on 22-25; CE# 10, ground 11 and 30, VCC 21, the data bus, OE# (39), RESET# (44) and WE#
// (45) on 26-45.
constexpr std::uint64_t Tsop48Mask(int addressLines) {
  std::uint64_t m = SocketPins(10, 11) | SocketPins(21, 21) | SocketPins(26, 45);
  for (int a = 0; a < addressLines; ++a) {
    const int pin = a < 9 ? a + 1 : a == 9 ? 12 : a < 18 ? a + 3 : a + 4;
    m |= std::uint64_t{1} << (pin - 1);
  }
  return m;
}
inline constexpr std::array<std::uint64_t, 8> kTsop48Masks{0,
                                                           Tsop48Mask(16),
                                                           Tsop48Mask(17),
                                                           Tsop48Mask(18),
                                                           Tsop48Mask(19),
                                                           Tsop48Mask(20),
                                                           Tsop48Mask(21),
                                                           Tsop48Mask(22)};
// A DIP32 at the bottom of the socket: VCC 36, ground 20, A16 on 6, A15 on 7.
inline constexpr std::uint64_t kDip32To64K = SocketPins(7, 33) | SocketPins(35, 36);
inline constexpr std::uint64_t kDip32To256K = SocketPins(6, 33) | SocketPins(35, 36);
inline constexpr std::uint64_t kDip32To512K = SocketPins(5, 36);
}  // namespace p29f640_rows

class P29F640 final : public MemorySet {
 public:
  static constexpr std::array<P29F640Type, 14> kTypes = [] {
    using namespace p29f640_rows;
    std::array<P29F640Type, 14> t{};
    t[1] = {"tsop48at49f321.bit", 0, 16, 21, kGroundPins11And30, 44, 12, 39, kUpTo64, {}};
    t[2] = {"tsop48p29.bit", 0, 16, 21, kGroundPins11And30, 44, 12, 39, kUpTo64, kTsop48Masks};
    t[3] = {
        "mbm29f008tsop40.bit", 4, 8, kAdapterSupply101, kAdapterSupply101, 40, 14, 37, kUpTo16, {}};
    t[4] = {"sop44p29.bit", 0, 16, 21, kGroundPins11And30, 44, 12, 39, kUpTo16, {}};
    t[5] = {"mbm29f080sop44.bit", 4, 8, 21, 20, 48, 27, 3, kUpTo16, {}};
    t[6] = {"Am29lv160sop44.bit", 0, 16, 21, kGroundPins11And30, 47, 12, 39, kOnly16, {}};
    t[7] = {"at29c040dip32.bit",
            4,
            8,
            36,
            20,
            5,
            28,
            30,
            kUpTo4,
            {0, SocketPins(6, 33) | SocketPins(35, 36)}};
    t[8] = {"MBM29f080tsop40.bit", 4, 8, 21, 20, 2, 27, 5, kUpTo16, {}};
    t[9] = {"MBM29f016tsop48.bit", 3, 8, 21, 20, 46, 27, 1, kUpTo16, {}};
    t[10] = {
        "mbm29f008tsop40.bit", 4, 8, kAdapterSupply101, kAdapterSupply101, 40, 14, 37, kUpTo16, {}};
    t[11] = {"mbm29f008tsop48.bit", 4, 8, 21, kGroundPins11And30, 0, 12, 40, kUpTo16, {}};
    t[12] = {"mbm29f008dip34.bit",           4, 8, 36, 20, 0, 28, 30, kUpTo16,
             {0, 0, 0, 0, SocketPins(4, 37)}};
    t[13] = {"sst39xx040dip32.bit",
             4,
             8,
             36,
             20,
             0,
             28,
             30,
             kDip32,
             {kDip32To64K, kDip32To64K, kDip32To256K, kDip32To512K}};
    return t;
  }();
  static void CheckRow(const P29F640Type& t, TypeTableReport& r) { CheckP29F640Row(t, r); }
  static constexpr std::string_view kRequiredItems = "mem= cfg= vcc=";

  // The sector layouts "cfg=" chooses: pairs of a sector size and a count, closed by a size of
  // 0; odd layouts put the small boot sectors at the bottom, even ones at the top.
  static constexpr std::array<const char*, 16> kLayouts = {
      "0,0,0,",
      "0x4000,1,0x2000,2,0x8000,1,0x10000,1,0,",
      "0x10000,1,0x8000,1,0x2000,2,0x4000,1,0,",
      "0x4000,1,0x2000,2,0x8000,1,0x10000,3,0,",
      "0x10000,3,0x8000,1,0x2000,2,0x4000,1,0,",
      "0x4000,1,0x2000,2,0x8000,1,0x10000,7,0,",
      "0x10000,7,0x8000,1,0x2000,2,0x4000,1,0,",
      "0x4000,1,0x2000,2,0x8000,1,0x10000,15,0,",
      "0x10000,15,0x8000,1,0x2000,2,0x4000,1,0,",
      "0x4000,1,0x2000,2,0x8000,1,0x10000,31,0,",
      "0x10000,31,0x8000,1,0x2000,2,0x4000,1,0,",
      "0x4000,1,0x2000,2,0x8000,1,0x10000,63,0,",
      "0x10000,63,0x8000,1,0x2000,2,0x4000,1,0,",
      "0x4000,1,0x2000,2,0x8000,1,0x10000,127,0,",
      "0x10000,127,0x8000,1,0x2000,2,0x4000,1,0,",
      "0x20000,8,0,"};
  struct Sector {
    std::uint32_t start = 0;  // bytes
    std::uint32_t bytes = 0;
    bool protect = false;
  };
  // The sector table of a layout text.
  static std::vector<Sector> ExpandLayout(const char* layout);
  // The grid shows at most this many sector rows (option words 0 to 3).
  static constexpr std::size_t kGridSectors = 64;

 private:
  const P29F640Type& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return list_; }
  bool DescribesOwnGrid() const override { return true; }
  bool Run(int op) override;
  void SetAddress(std::uint32_t address) override;

  // A refusal: logged now and by every operation until the next set-up.
  void Refuse(const char* line);
  bool Offers(int op) const;
  // The chip address of byte address `a`: words on 16-bit rows.
  std::uint32_t ChipUnit(std::uint32_t a) const { return Type().wide() ? a >> 1 : a; }
  std::uint32_t RangeStart() const;
  static void SetLine(std::uint8_t n);
  static void ClearLine(std::uint8_t n);
  static void Cycle(std::uint8_t code);
  static void ReadMode();
  static void CommandMode();
  void ProgramWait() const;
  bool PowerUp();
  void ReadingVoltage();
  bool TypeCheck();
  bool AnySectorFlag() const;
  void TemporaryUnprotect();
  // Read, Blank and Verify.
  void Scan(int op);
  void Write();
  void Erase();
  void Protect(bool unprotect);
  void ReadProtectStatus();
  bool ReadId();
  void WriteProtectionRegisters();
  void ProtectionRegisterWrite(std::uint32_t address, std::uint16_t data);
  void BuildDescribeList();

  const char* refusal_ = nullptr;
  int mem_ = 0, cfg_ = 0, dly_ = 1, ptw_ = 0, msk_ = 0, vcc_ = 0;
  std::vector<Sector> sectors_;
  std::vector<const char*> list_;
  std::vector<std::string> gridRows_;
};

}  // namespace zelvar::memory
