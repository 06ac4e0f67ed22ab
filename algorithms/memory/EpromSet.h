#pragma once
// The byte-wide EPROM sets on the "zor5103.bit" bitstream: one record layout and the Read, Blank,
// Verify and block Write that P27, PW27 and SST27SF share; each set gives its table, its address
// pins and the steps in which it differs.
#include <cstdint>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

inline constexpr const char* kEpromBitstream = "zor5103.bit";

// The program pulse of a row's part.
enum class EpromPulse : std::uint8_t {
  kByName,  // the "Delay" choice, by default 100 µs for a CMOS ("27C") chip name, else 5 ms
  k50ms,    // the "Delay" choice, by default 50 ms (the NMOS 21 V and 25 V parts)
  k50us,    // 50 µs and no choice (ST's M27C801)
};

// One type: the chip and its programming voltage, its size and its socket pins (a chip at the
// bottom of the 40-pin socket, ground on pin 20).
struct EpromType {
  std::string_view name;         // the row's caption
  std::uint8_t packagePins = 0;  // 24, 28 or 32: VCC is the package's top pin
  std::uint32_t lastAddress = 0;
  std::uint8_t vccPin = 0;
  std::uint8_t vppPin = 0;
  std::uint8_t programPin = 0;
  std::uint32_t vppMillivolts = 0;  // P27
  std::uint64_t contactMask = 0;    // bit n-1 = socket pin n must touch
  std::uint32_t saveCount = 0;      // bytes UnProtect and Lock keep (SST27SF)
  // The row programs through its VPP pin (left as the list gives it; the rules accept it here).
  bool programPinIsVppPin = false;
  // VCC through Write where the maker's datasheet programs at a raised VCC; 0: the read VCC.
  std::uint32_t programVccMillivolts = 0;
  EpromPulse pulse = EpromPulse::kByName;
  bool signature = true;  // the part has the identifier mode (12 V on A9)

  // Unused address pins are held high: the complement of the last address.
  constexpr std::uint32_t highBits() const { return ~lastAddress; }
  // Address bits the chip decodes.
  constexpr int addressBits() const {
    int n = 0;
    while (n < 32 && (lastAddress >> n) != 0) ++n;
    return n;
  }
};

inline constexpr int kEpromSocketPins = 40;

// The byte-wide EPROM family's rules for one row of a set whose high address bits go to `pins`:
// VCC, VPP and the program pin are distinct socket pins and none is ground; VCC is the package's
// top pin (the JEDEC pinouts), and VPP, the program pin and the address lines the row uses lie on
// the package; the size is a power of two; the set has a pin for every address bit above 7, and
// none of those the row uses is a supply, ground or program pin.
void CheckEpromRow(const EpromType& t, const AddressPins& pins, TypeTableReport& r);

class EpromSet : public MemorySet {
 protected:
  virtual const EpromType& Type() const = 0;
  virtual const AddressPins& Pins() const = 0;
  // Steps where the sets differ.
  virtual void BeforeReads() {}
  virtual bool PrepareWrite() = 0;  // supplies and checks before the first block
  virtual bool PowerPerBlock() const { return false; }
  // False for types without a signature: Read ID would put 12 V on their A9 for nothing.
  bool HasSignature() const { return Type().signature; }

  TypeFacts Facts() const override { return {Type().lastAddress, Type().contactMask}; }
  void SetAddress(std::uint32_t address) override {
    PutAddress(address, Type().highBits(), Pins());
  }

  // Blank, Write, Verify and Read, which every EPROM set offers; the set's own operations.
  bool Run(int op) override;
  // With the line's "#" bytes and a part that has a signature mode, the chip's maker and device
  // codes must match them before Write: else "Type error!" and StatusWord 1.
  bool IdentityMatches();
  virtual bool RunOwn(int op) = 0;

  void Read();
  void Blank();
  void Verify();
  // The block write at the row's programming VCC; reads after it run at the set-up VCC again.
  virtual void Write();
  // The signature through the type's VCC pin; refused with a box for a type without one.
  void ReadId();
  // The set-up supply levels again, and VCC on the type's pin.
  void ApplyVcc();
  // ApplyVcc and the power check.
  bool PowerUp();
  // VCC off after the pins go low.
  void EndOfReads();
};

// The base of a set with its table Set::kTypes and its address pins Set::kPins.
template <class Set>
class EpromSetOf : public EpromSet {
 public:
  static void CheckRow(const EpromType& t, TypeTableReport& r) { CheckEpromRow(t, Set::kPins, r); }

 protected:
  const EpromType& Type() const override { return ChosenRow(Set::kTypes); }
  const AddressPins& Pins() const override { return Set::kPins; }
};

}  // namespace zelvar::memory
