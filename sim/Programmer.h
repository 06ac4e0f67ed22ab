#pragma once
// The simulated programmer: it takes the exact bulk OUT bytes, cuts them into 64-byte packets,
// decodes and carries out the commands, keeps supplies, pins, ports and registers, and answers
// on the bulk IN pipe. Designs (the FPGA logic named by a bitstream) and chip models plug in.
// The programmer is the hardware model; it owns a recorder, the injected faults and its clock.
//
// Rules of the hardware that no document of ours fixes, kept here:
// - A supply or the ground switch selected on a pin takes the pin from its logic driver: the
//   sets drive every pin low with VCC still on, so the hardware must allow it.
// - The pin drivers (register 40, or FPGA register 4 on models 5104, 5105 and 5148) are on after
//   power-up; while they are off no logic level reaches the socket.
// - A design may hold its data bus as inputs (its read mode): pin commands on those pins then
//   set the level the bus drives once it is an output again.
// - On models 5104, 5105 and 5148 FPGA register 4 at 12 puts the supplies into their current-
//   limited test mode: a selected supply delivers the 5 V test level whatever it is set to.
// - While FPGA register 27 makes the input registers sense the socket, the VCC route carries the
//   5 V test level; the VPP route carries the VPP supply as set (the link sets it to 5 V on the
//   models whose test goes through VPP).
// - On models 6200 and above a VPP selection with bit 7 set keeps VCC on the pin it was on, so a
//   chip whose VPP pin is not its VCC pin stays powered while VPP is applied.
// - The pin drivers' logic high, and a chip's output high, follow the VCC supply's last setting
//   from 3.0 V up to 5 V (5 V above it and after power-up); a setting below 3.0 V (0: the supply
//   off) leaves them as they were. A 3.3 V part sees 3.3 V levels once its set has chosen 3.3 V,
//   and 5 V levels before that.
// - The contact test's level (the supplies in test mode, or the VCC route while the input
//   registers sense the socket) is current-limited: it over-rates no pin.
// - Models 57 and 411 have no FPGA: their pin drivers go through series resistors (an I2C chip
//   acknowledges against a driven-high SDA on them), and command 3 samples the socket into the
//   next reply byte, socket pin 18 in bit 1 and pin 21 in bit 3 (the other bits read 0); their
//   own logic times the sets' waits: command 26 takes 1 ms, command 28 100 ms.
// - With no design loaded (always on models 57 and 411) the programmer's own port logic serves
//   the sets that drive a chip by pins alone (ours, as no document describes it):
//   - port 0 (command 16) drives its byte onto socket pins 1 to 8 (bit 0 on pin 1) once written;
//   - register 25 at 1 lets go of those pins (an input port), at any other value they drive the
//     port-0 byte again; command 1 samples them into the next reply byte, as the chip drives
//     them, and a sample while they drive is a protocol error (the set read its own byte);
//   - registers 26 and 27 let go of one pin and drive it again (a chip output such as RDY/BSY);
//   - register 29 (command 14 with a socket pin and a limit in ms) waits until that pin reads
//     high (a line nothing drives reads high, as through a pull-up), polling every 10 µs, for at
//     most the limit; the designs that carry a wait-ready use the same logic (`WaitReady`);
//   - commands 25, 26 and 28 are waits of 100 µs, 1 ms and 100 ms.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/Command.h"
#include "sim/Faults.h"
#include "sim/ProgrammerCommands.h"
#include "sim/Recorder.h"
#include "sim/SimClock.h"
#include "sim/SocketFaults.h"

namespace zelvar::sim {

class Programmer;

// The logic a loaded bitstream gives the FPGA: its own command bytes and registers.
class Design {
 public:
  virtual ~Design() = default;
  virtual std::string Name() const = 0;
  // Length of one of the design's own commands, 0 when the byte is not its own.
  virtual int CommandLength(std::uint8_t op) const = 0;
  // Carries out one of the design's own commands; false leaves it to the programmer core.
  virtual bool Execute(Programmer& p, const Command& c) = 0;
  // Register writes of the design (command 10), after the core stored them.
  virtual void OnFpgaRegister(Programmer&, std::uint8_t /*reg*/, std::uint8_t /*value*/) {}
  // Programmer register writes (command 14) the design follows, such as the bus mode.
  virtual void OnRegister(Programmer&, std::uint8_t /*reg*/, std::uint8_t /*value*/) {}
  // Input register n (command 11); -1 leaves it to the core.
  virtual int InputRegister(Programmer&, std::uint8_t /*n*/) { return -1; }
  // True where the design drives a socket pin through a series resistor, so that a chip output
  // overrides it without harm.
  virtual bool DrivesThroughResistor(int /*socketPin*/) const { return false; }
};

// A chip placed in the socket, written from its public datasheet.
class ChipModel {
 public:
  virtual ~ChipModel() = default;
  virtual std::string Name() const = 0;
  virtual int PinCount() const = 0;
  // Chip pins (1-based) that carry ground.
  virtual std::vector<int> GroundPins() const = 0;
  // The highest voltage that chip pin `pin` takes without harm.
  virtual int MaxMillivolts(int pin) const = 0;
  // True where chip pin `pin` takes a programming voltage while the chip is unpowered (a part
  // whose programming mode is entered with VPP before VDD).
  virtual bool TakesHighVoltageUnpowered(int /*pin*/) const { return false; }
  // True while a supply at the rated voltage is on the VCC pin and every ground pin is grounded.
  virtual bool Powered(const Programmer&) const { return false; }
  // Called after any change of the socket's supplies or pin levels.
  virtual void OnPins(Programmer&) {}
  // The level the chip drives on chip pin `pin`: 0, 1, or -1 when it does not drive it.
  virtual int Drive(int /*pin*/) const { return -1; }
  // The socket pin a user seats chip pin 1 in on programmer `model`, as the placement picture
  // shows it; 0: at the bottom of the socket.
  virtual int SeatPin(int /*model*/) const { return 0; }
  // Jumpers from socket pins to chip pins for a part that is wired to the socket rather than
  // seated in it; empty for a part that sits in the socket.
  virtual std::vector<std::pair<int, int>> Wiring() const { return {}; }
};

class Programmer {
 public:
  explicit Programmer(int model = 6200);

  // The USB pipes.
  std::uint32_t BulkOut(const std::uint8_t* data, std::uint32_t length);
  std::uint32_t BulkIn(std::uint8_t* buffer, std::uint32_t length);

  // Identity: the model number and the name it answers to the model query.
  int model() const { return model_; }
  const std::string& modelName() const { return modelName_; }
  void SetModel(int model, const std::string& name = "");
  std::array<std::uint8_t, 64>& infoBlock() { return info_; }
  // Power lost and back (a replug): registers, pins, supplies and the FPGA as after power-up;
  // the chip stays in the socket.
  void PowerCycle();

  // Registers, FPGA registers and ports.
  std::array<std::uint8_t, 256> reg{};
  std::array<std::uint8_t, 256> fpga{};
  std::array<std::uint8_t, 6> port{};

  // Supplies as set.
  int VccMillivolts() const { return reg[kRegVccVoltage] * 100; }
  int VppMillivolts() const { return reg[kRegVppVoltage] * 100; }
  int VccPin() const { return reg[kRegVccPin] & 0x7F; }
  bool VppOnVccPin() const { return (reg[kRegVccPin] & kSecondPin) != 0; }
  int VppPin() const { return model_ < 6200 ? (reg[kRegVppPin] & 0x7F) : reg[kRegVppPin]; }
  int HighVoltagePin() const { return reg[kRegHighVoltagePin]; }
  bool IsGround(int socketPin) const;
  // Whether the logic drivers reach the socket.
  bool DriversOn() const;

  // Pin levels commanded by 8 and 9: 1 high, 0 low, -1 never driven.
  std::array<int, 49> level{};
  // Pins a design holds as inputs (its data bus while it reads).
  std::array<bool, 49> busInput{};
  int SocketPins() const { return model_ == 5148 || model_ == 5149 || model_ >= 6200 ? 48 : 40; }
  // The voltage on socket pin `pin` from supplies, ground, drivers and the chip.
  int PinMillivolts(int socketPin) const;
  // The voltage of a logic high on the socket (drivers and chip outputs).
  int LogicHighMillivolts() const { return logicHighMv_; }
  // What the programmer alone puts on a pin (supplies, ground, drivers), for a chip reading its
  // own inputs; -1 when nothing does.
  int InputMillivolts(int socketPin) const;
  // The voltage a supply or the ground switch holds on a pin; -1 when none does.
  int SupplyMillivolts(int socketPin) const;
  // The level the logic driver puts on a pin: 1, 0, or -1 when it drives none.
  int DriverLevel(int socketPin) const;
  // Counts the writes of the supply, ground and pin registers, so that a chip model can keep
  // what it derived from them until the next one.
  std::uint32_t supplyChanges = 0;
  // The logic level on a socket pin as the programmer reads it (chip drive wins over drivers).
  int ReadLevel(int socketPin) const;

  // Designs and chips.
  void SetDesign(std::unique_ptr<Design> design);
  Design* design() const { return design_.get(); }
  // Places `chip` with its pin 1 at socket pin `firstPin` in the left row; nullptr empties it.
  void PlaceChip(std::shared_ptr<ChipModel> chip, int firstPin);
  // Places `chip` over the rows PlaceChip(chip, firstPin) would take, turned half round: its pin 1
  // in the right row opposite socket pin `firstPin + n/2 - 1`, as an adapter may seat it.
  void PlaceChipTurned(std::shared_ptr<ChipModel> chip, int firstPin);
  // Places `chip` off the socket, wired to it by jumpers: each pair joins a socket pin to a chip
  // pin, and chip pins without a pair touch nothing.
  void PlaceChipWired(std::shared_ptr<ChipModel> chip,
                      const std::vector<std::pair<int, int>>& socketToChip);
  // Places `chip` at the bottom of the socket, as the sets expect a DIP to sit.
  void PlaceChipAtBottom(std::shared_ptr<ChipModel> chip);
  // A chip on the user's board, reached through the in-system header: chip pin k on socket pin
  // wiring[k - 1] (0: not wired; kHeaderGround: the header's ground pins, always grounded). The
  // design that runs the header names its wiring.
  static constexpr int kHeaderGround = -1;
  void PlaceChipWired(std::shared_ptr<ChipModel> chip, std::vector<int> wiring);
  // Places `chip` where its SeatPin says for this model (wired by its Wiring when it has one),
  // else at the bottom.
  void SeatChip(std::shared_ptr<ChipModel> chip);
  ChipModel* chip() const { return chip_.get(); }
  std::shared_ptr<ChipModel> chipShared() const { return chip_; }
  // Socket pin of chip pin `chipPin`, 0 when not placed.
  int SocketPinOf(int chipPin) const;
  int ChipPinAt(int socketPin) const;
  // A design changed pin levels: the chip follows and the monitor looks for fights.
  void Settle();
  // Waits until socket pin `pin` reads high (the chip's ready line), polling every 10 µs, for at
  // most `limitMs`; a pin nothing drives reads high.
  void WaitReady(int pin, int limitMs);

  // Replies: bytes collected for the next 64-byte reply, and raw IN data (block reads).
  void PushReplyByte(std::uint8_t b) { pending_.push_back(b); }
  void PushInData(const std::uint8_t* data, std::size_t length);
  // Replaces the next 64-byte reply as a whole (model name, info block, status).
  void SetNextReply(const std::vector<std::uint8_t>& reply) { nextReply_ = reply; }

  // The simulated clock in microseconds.
  double clockUs() const { return clock.Us(); }
  void AdvanceUs(double us) { clock.Advance(us); }

  Recorder record;
  Faults faults;
  SimClock clock;

  // Bytes of the bitstream received through register-34 packets since register 33.
  std::vector<std::uint8_t> bitstream;
  bool bitstreamStarted = false;
  // The design the received bitstream names ("" when none) and whether it arrived whole. A whole
  // stand-in bitstream installs MakeDesign(tag); register 33 drops the design it replaces.
  std::string loadedDesign;
  bool bitstreamWhole = false;

  // Faults of the socket wiring, for the self-test to find.
  SocketFaults socketFaults;
  // Power status bytes: two on models 5106, 5107, 5149 and above, one on the others.
  bool TwoBytePowerStatus() const;

  // With FPGA register 27 set the input registers sense the socket: a pin reads high when a
  // supply at a logic level is selected on it, or when that supply sits on a touching ground pin
  // of the chip and the pin's own chip pin touches (the voltage spreads through the chip's
  // protection diodes). A pin whose logic driver is on reads the driver instead.
  bool SensesVoltage(int socketPin) const;

 private:
  int CommandLength(std::uint8_t op) const;
  void Execute(const Command& c);
  void WriteRegister(std::uint8_t r, std::uint8_t v);
  void PowerStatus();
  void CheckSafety();
  void CheckPin(int socketPin);
  void CheckFights();
  void PinsChanged();
  void BitstreamArrived();
  bool OldFpgaModel() const { return model_ == 5104 || model_ == 5105 || model_ == 5148; }
  bool NoFpgaModel() const { return model_ == 57 || model_ == 411; }
  bool TestMode() const { return OldFpgaModel() && fpga[kFpgaPinDrivers] == kFpgaDriversTest; }
  // The port logic of the programmer with no design loaded.
  bool OwnPortCommand(const Command& c);
  void DrivePort0();
  bool port0Written_ = false;  // port 0 has a byte for socket pins 1 to 8

  int model_;
  std::string modelName_;
  std::array<std::uint8_t, 64> info_{};
  std::unique_ptr<Design> design_;
  std::shared_ptr<ChipModel> chip_;
  std::array<int, 2> gnd_{};  // ground pins, 0 = none
  std::array<int, 2> vpp_{};  // pins on the VPP supply, 0 = none
  int logicHighMv_ = 5000;    // see LogicHighMillivolts
  int firstPin_ = 0;          // socket pin of chip pin 1 (of pin n/2 + 1 when turned)
  bool turned_ = false;
  std::vector<int> wiring_;  // PlaceChipWired's wiring; empty for a chip in the socket
  void Seat(std::shared_ptr<ChipModel> chip, int firstPin, bool turned);
  std::array<int, 49> chipPinAt_{};  // chip pin on each socket pin, 0 = none
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> nextReply_;
  std::deque<std::uint8_t> in_;
  bool packetTail_ = false;    // the rest of this packet is bitstream data
  int vccCompanion_ = 0;       // models 6200 and above: the VCC pin kept beside a bit-7 selection
  int settlesInRow_ = 0;       // settle commands since the last other command
  bool statusPrefix_ = false;  // the last command before this one was the status preamble
};

// Inline: the chip models and designs ask for pin voltages on every pin change.
inline bool Programmer::IsGround(int socketPin) const {
  if (socketPin == kHeaderGround) return true;
  if (socketPin <= 0) return false;
  return gnd_[0] == socketPin || gnd_[1] == socketPin;
}

inline int Programmer::ChipPinAt(int socketPin) const {
  return socketPin >= 1 && socketPin <= 48 ? chipPinAt_[socketPin] : 0;
}

inline bool Programmer::DriversOn() const {
  return OldFpgaModel() ? (fpga[kFpgaPinDrivers] & kFpgaDriversOff) == 0 : reg[kRegPinDrivers] != 0;
}

inline int Programmer::SupplyMillivolts(int socketPin) const {
  if (socketPin < 1 || socketPin > 48) return -1;
  if (IsGround(socketPin)) return 0;
  int mv = -1;
  if (HighVoltagePin() == socketPin) {
    mv = 12000;
  } else if (VccPin() == socketPin || (vccCompanion_ == socketPin && socketPin != 0)) {
    mv = VppOnVccPin() && VccPin() == socketPin ? VppMillivolts() : VccMillivolts();
  } else if (vpp_[0] == socketPin || vpp_[1] == socketPin) {
    mv = VppMillivolts();
  }
  if (mv >= 0 && TestMode()) return kTestMillivolts;
  // While the input registers sense the socket the VCC route carries the test level.
  if (mv >= 0 && fpga[kFpgaSense] != 0 && VccPin() == socketPin && !VppOnVccPin())
    return kTestMillivolts;
  if (mv >= 0 && fpga[kFpgaSense] != 0 && vccCompanion_ == socketPin) return kTestMillivolts;
  return mv;
}

inline int Programmer::DriverLevel(int socketPin) const {
  if (socketPin < 1 || socketPin > 48 || busInput[socketPin] || !DriversOn()) return -1;
  return level[socketPin];
}

inline int Programmer::InputMillivolts(int socketPin) const {
  const int mv = SupplyMillivolts(socketPin);
  if (mv >= 0) return mv;
  const int d = DriverLevel(socketPin);
  return d >= 0 ? d * LogicHighMillivolts() : -1;
}

inline int Programmer::PinMillivolts(int socketPin) const {
  const int mv = SupplyMillivolts(socketPin);
  if (mv >= 0 || socketPin < 1 || socketPin > 48) return mv;
  if (chip_) {
    const int cp = ChipPinAt(socketPin);
    const int d = cp > 0 ? chip_->Drive(cp) : -1;
    if (d >= 0) return d ? LogicHighMillivolts() : 0;
  }
  const int d = DriverLevel(socketPin);
  return d >= 0 ? d * LogicHighMillivolts() : -1;
}

}  // namespace zelvar::sim
