#pragma once
// The frame of the microcontroller sets (8051, AVR and PIC families): it stands on the frame every
// set shares and adds what the chip operations of these families have in common. A set gives its
// type table, its describe and config lists and its handlers; the frame gives
//  - the check of the chosen row against the filled rows, and the refusal of a chip the set cannot
//    serve (a row beyond the table, no bitstream, no size), remembered until the next set-up;
//  - the package choice of the 40-pin parallel parts (DIP40 or the PLCC44 adapter) with the
//    family's pins, and the "vcc=" supply with its family default;
//  - the type check, parameterised by the bytes compared and the wording, run before every
//    operation that changes the chip, so that a wrong chip is refused before its first change;
//  - the block loops (Read into the buffer, Blank and Verify against 0xFF or the buffer) that fill
//    the fail fields;
//  - the supplies: after every chip operation, whichever way it ended, VPP off and then VCC off.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "algorithms/frame/SetFrame.h"

namespace zelvar::mcs51 {

using frame::TypeFacts;

// The family's globals: the socket pins of the chosen chip's VCC and EA/VPP. (GroundPin and
// PinMask are the application's, in gApp.)
struct Mcs51Globals {
  std::uint8_t ChipVccPin = 0;
  std::uint8_t ChipVppPin = 0;
};
extern Mcs51Globals gMcs51;

// A package of the 40-pin parallel sets: the design to load and the chip's pins in the socket.
struct Package {
  const char* bitstream = nullptr;
  std::uint8_t groundPin = 0;
  std::uint8_t vccPin = 0;
  std::uint8_t vppPin = 0;
  std::uint64_t contactMask = 0;
};
inline constexpr Package kDip40{.bitstream = "zor5103.bit",
                                .groundPin = 20,
                                .vccPin = 40,
                                .vppPin = 31,
                                .contactMask = SocketPins(1, 40)};
// The adapter brings VCC to socket pin 42 and EA/VPP to 33; pins 10, 21 and 32 carry no chip pin.
inline constexpr Package kPlcc44{.bitstream = "zor5103at51plcc44.bit",
                                 .groundPin = 20,
                                 .vccPin = 42,
                                 .vppPin = 33,
                                 .contactMask = SocketPins(1, 40, 10, 21, 32)};

// True when the chosen chip's title names the PLCC44 adapter ("*P44" or "*Q44").
bool TitleNamesPlcc44();

inline constexpr const char* kTypeError = "Type error!*错误的型号!";

class Mcs51Set : public frame::SetFrame {
 protected:
  // --- Set-up (operation 1).
  // Accepts TypeIndex when it names one of the rows first .. rows - 1; otherwise refuses the chip.
  bool AcceptRow(int rows, int first = 1);
  // Refuses the chosen chip: logs `line`, StatusWord 1, and every later operation refuses too
  // until the next set-up.
  void Refuse(const char* line);
  // Loads the package's design and sets GroundPin, PinMask, ChipVccPin and ChipVppPin.
  void UsePackage(const Package& p);
  // Call first in Init: forgets an earlier refusal.
  void BeginSetup() { refused_ = false; }
  bool refused() const { return refused_; }

  // Operation 2: ground and mask from the globals the set-up wrote, the chosen type's last
  // address and data area. A refused chip reports nothing to check and no range.
  TypeFacts Facts() const override;
  virtual std::uint32_t LastAddress() const = 0;
  virtual std::uint32_t DataStart() const { return 0; }
  virtual std::uint32_t DataLength() const { return 0; }

  // --- Chip operations.
  // Runs Handle for the codes of Operations(); a refused chip runs nothing and fails. The supplies
  // are set to the set-up's levels before and switched off after every handled operation.
  bool Run(int op) final;
  virtual std::span<const int> Operations() const = 0;
  // The handlers, one per operation code; Handle runs the one of `op`.
  void Handle(int op);
  virtual void Erase() {}
  virtual void Blank() {}
  virtual void Write() {}
  virtual void Verify() {}
  virtual void Config() {}
  virtual void Lock() {}
  virtual void Read() {}
  virtual void ReadId() {}
  virtual void ReadConfig() {}
  virtual void ReadCalibration() {}
  virtual void ReadData() {}
  virtual void WriteData() {}
  virtual void UserInfo() {}  // operation 34, each set's own (the SM59 sets erase their ISP area)
  // VPP off, then VCC off.
  static void SuppliesOff();

  // The type check: reads the ID into gApp.ReadId with ReadSignature, sets StatusWord 0, and
  // passes when ExpectedId gives no identity or its first `bytes` bytes match. A mismatch logs
  // `wording` (after the read and expected pairs when `logPairs`) and sets StatusWord 1.
  struct IdCheck {
    int bytes = 2;
    const char* wording = kTypeError;
    bool logPairs = false;
  };
  // Within an operation that the frame's check by ChangeCheck let through, it passes at once.
  bool TypeCheck(const IdCheck& check);
  virtual void ReadSignature() {}

  // The identity check the frame runs before every operation that changes the chip (Erase,
  // Write, Config, Lock, Write data, UnProtect, the configuration erase), so that a wrong chip is
  // refused before its first change: true when the chip answers the identity its line or row
  // gives, or none is given. By default TypeCheck with ChangeCheck's rule; a set whose chips
  // have no readable identity gives none.
  virtual bool CheckBeforeChange();
  virtual std::optional<IdCheck> ChangeCheck() const { return std::nullopt; }
  // True for the operations that change the chip.
  static bool ChangesChip(int op);
  // True within an operation whose identity the frame has checked: a set's own check passes.
  bool IdentityChecked() const { return identityChecked_; }

  // A block loop over chip addresses first .. last in blocks of `block` bytes. `fetch(address,
  // dest)` reads one block to dest. Read puts each block at its own buffer address; Blank and
  // Verify compare it with 0xFF or the buffer and, at the first difference, set StatusWord 1,
  // FailAddress, FailByte, show the address and return false.
  enum class Scan { Read, Blank, Verify };
  using Fetch = std::function<void(std::uint32_t address, std::uint8_t* dest)>;
  bool ScanBlocks(Scan kind, std::uint32_t first, std::uint32_t last, std::uint32_t block,
                  const Fetch& fetch, bool progress = true);
  // The normal end of a read, blank check or verify: the bar runs out (the frame then switches
  // the supplies off).
  static void FinishScan();
  // The log line of a verify that failed: the address, the byte read and the byte expected.
  void LogVerifyMismatch() const;

  // Buffer ranges (first .. last, inclusive) of the chip's own memory in a buffer window that is
  // larger than the chip (a hole between two areas, a boot block elsewhere).
  struct HeldSpan {
    std::uint32_t first = 1, last = 0;
  };
  // Data the chip cannot hold: the first address of `windows` outside `held` whose buffer byte is
  // not 0xFF. Verify (`verify`) then fails there as the chip gives nothing (FailByte 0xFF);
  // Write is refused before it changes anything. True when it found such a byte.
  bool DataOutsideChip(std::span<const HeldSpan> windows, std::span<const HeldSpan> held,
                       bool verify);
  // Read's buffer over `windows` outside `held`: 0xFF, as the chip has nothing there.
  void BlankOutsideChip(std::span<const HeldSpan> windows, std::span<const HeldSpan> held);

 private:
  bool refused_ = false;
  const char* refusal_ = nullptr;
  bool identityChecked_ = false;  // the frame checked the chip's identity for this operation
};

}  // namespace zelvar::mcs51
