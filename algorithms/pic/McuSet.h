#pragma once
// The small-microcontroller set frame: what the PIC sets and the other small OTP and flash
// microcontroller sets share, whatever their programming protocol. It stands on the
// microcontroller frame (refusal until the next set-up, supplies set before and switched off
// after every operation, StatusWord 0 at each handler's start) and adds:
//  - the row type (supply pins, sizes, contact pins), read from the table and then overridden by
//    the chip line: "fla=" words (two buffer bytes each), "ee=" data bytes, "dly=" wait ticks;
//  - the package from "pkg=" (or "isp=" for the in-system header) out of the set's package table:
//    its design, placement picture, supply and contact pins;
//  - the refusals where a guess would harm a chip or report a false pass: no size, a data area
//    the chip has but the line omits, sizes beyond the buffer, a package without wiring;
//  - the handler shape: the set's entry (power-up and mode), the power check, and the data area
//    in the buffer from 0x4200.
// A protocol engine derives from it and gives the entry and the handlers.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::pic {

// The refusals of the sets whose chip line gives the sizes and the package.
namespace line_refusal {
inline constexpr const char* kNoFla =
    "No program size (fla=) in the device list! *器件列表缺少程序容量(fla=)!";
inline constexpr const char* kTooLarge =
    "Program or data size too large for the buffer! *程序或数据容量超出缓冲区!";
inline constexpr const char* kNoPackage =
    "Package (pkg=) not known to this set! *此算法不支持该封装(pkg=)!";
}  // namespace line_refusal

using mcs51::TypeFacts;

inline constexpr std::uint32_t kDataStart = 0x4200;

// Contact pins as a mask (bit n-1 = socket pin n).
constexpr std::uint64_t PinBits(std::initializer_list<int> pins) {
  std::uint64_t m = 0;
  for (int p : pins) m |= std::uint64_t{1} << (p - 1);
  return m;
}

// The contact pins a "pm=" value names in a set's table of them; none beyond the table.
constexpr std::uint64_t ContactPins(std::span<const std::uint64_t> table, int pm) {
  return pm >= 0 && static_cast<std::size_t>(pm) < table.size()
             ? table[static_cast<std::size_t>(pm)]
             : 0;
}

// A chip type: supply pins in the socket, sizes (last byte address of the program words; data
// bytes less one, 0 or less: none), contact pins.
struct McuType {
  std::string_view name;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::int32_t lastAddress = 0;
  std::int32_t eepromLast = 0;
  std::uint64_t contactMask = 0;
};

// A package: the value of "pkg=" that chooses it (0 for the in-system header), its design, the
// chip's supply and contact pins, and the placement shown first: a picture file, or a drawn
// chip of `placePins` pins from socket row `placeRow` (none when both are empty).
struct McuPackage {
  int pkg = 0;
  const char* bitstream = nullptr;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::uint64_t contactMask = 0;
  const char* picture = "";
  int placeRow = 0, placePins = 0, pin1Side = 0;
};

// Checks a row: a row with pins has them distinct and on the socket, off ground, its supply pins
// among its contact pins, with sizes that are powers of two and words below the data area.
void CheckMcuRow(const McuType& t, TypeTableReport& r);

class McuSet : public mcs51::Mcs51Set {
 public:
  static void CheckRow(const McuType& t, TypeTableReport& r) { CheckMcuRow(t, r); }

 protected:
  virtual std::span<const McuType> Types() const = 0;
  // The packages "pkg=" chooses from (the set may choose the table by programmer model).
  virtual std::span<const McuPackage> Packages() const = 0;
  // The in-system header "isp=" chooses, with its wiring legend; nullptr: the set has none.
  virtual const McuPackage* IspPackage() const { return nullptr; }
  virtual const char* IspLegend() const { return ""; }
  // A package the chip's title chooses before "pkg=" or the row (the "*P44" adapter); nullptr:
  // none.
  virtual const McuPackage* NamedPackage() const { return nullptr; }
  // Whether the chip line gives the sizes and package; false: the row's sizes, and the package
  // whose VCC pin is the row's.
  virtual bool SizesFromLine() const { return true; }
  virtual int SetupVccMillivolts() const { return ChipVccMillivolts(); }
  virtual int SetupVppMillivolts() const { return 12700; }
  // After the supplies are set; the set's own set-up steps.
  virtual void AfterSetup() {}

  void Init() override;
  std::uint32_t LastAddress() const override {
    return row_.lastAddress < 0 ? 0 : static_cast<std::uint32_t>(row_.lastAddress);
  }
  std::uint32_t DataStart() const override { return HasData() ? kDataStart : 0; }
  std::uint32_t DataLength() const override {
    return HasData() ? static_cast<std::uint32_t>(row_.eepromLast + 1) : 0;
  }
  bool HasData() const { return row_.eepromLast > 0; }

  // The set's power-up and programming-mode entry.
  virtual void Enter() const = 0;
  // Enter and check the supply; false (StatusWord 1, its message) when it is weak.
  bool EnterChecked() const;

  // Shows the package's placement, loads its design and takes its pins into the row.
  void UsePackage(const McuPackage& p);
  // The first of Packages() with "pkg=" value `pkg`; nullptr when none has it.
  const McuPackage* PackageFor(int pkg) const;
  // "isp=" other than 0 takes the in-system header (its wiring shown first), else "pkg=" names the
  // package; nullptr when neither gives one.
  const McuPackage* IspOrPackage() const;
  // The row's ground and contact pins to the contact check, its ground selected, and the set's
  // supply voltages set with both supply pins off.
  void SetUpSupplies(int vccMillivolts, int vppMillivolts);

  McuType row_;
  int delay_ = 0;
};

}  // namespace zelvar::pic
