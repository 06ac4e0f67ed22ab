#pragma once
// The simulated programmer: it takes the exact bulk OUT bytes, cuts them into 64-byte packets,
// decodes and carries out the commands, keeps supplies, pins, ports and registers, and answers
// on the bulk IN pipe. Designs (the FPGA logic named by a bitstream) and chip models plug in.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sim/SocketFaults.h"

namespace zelvar::sim {

class Programmer;

// One decoded command, as it stood in the transfer.
struct Command {
  std::array<std::uint8_t, 4> bytes{};
  std::uint8_t length = 0;
  std::uint32_t transfer = 0;  // index of the bulk OUT transfer that carried it
  std::uint32_t offset = 0;    // position in that transfer
  std::uint8_t op() const { return bytes[0]; }
};

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
  // Input register n (command 11); -1 leaves it to the core.
  virtual int InputRegister(Programmer&, std::uint8_t /*n*/) { return -1; }
};

// What a chip in the socket sees of one of its pins.
struct PinView {
  int millivolts = -1;  // -1: nothing drives it
  bool high() const { return millivolts >= 2000; }
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
  // Called after any change of the socket's supplies or pin levels.
  virtual void OnPins(Programmer&) {}
  // The level the chip drives on chip pin `pin`: 0, 1, or -1 when it does not drive it.
  virtual int Drive(int /*pin*/) const { return -1; }
};

// Per-transfer cost of the USB link, for the simulated clock.
struct LatencyModel {
  double transferOverheadUs = 125.0;  // one bulk transfer's turnaround
  double bytesPerUs = 1.0;            // full-speed bulk throughput, about 1 MB/s
  double settleUs = 10.0;             // command 27
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

  // Registers, FPGA registers and ports.
  std::array<std::uint8_t, 256> reg{};
  std::array<std::uint8_t, 256> fpga{};
  std::array<std::uint8_t, 6> port{};

  // Supplies as set.
  int VccMillivolts() const { return reg[19] * 100; }
  int VppMillivolts() const { return reg[18] * 100; }
  int VccPin() const { return reg[21] & 0x7F; }
  bool VppOnVccPin() const { return (reg[21] & 0x80) != 0; }
  int VppPin() const { return model_ < 6200 ? (reg[20] & 0x7F) : reg[20]; }
  int HighVoltagePin() const { return reg[32]; }
  bool IsGround(int socketPin) const;

  // Pin levels commanded by 8 and 9: 1 high, 0 low, -1 never driven.
  std::array<int, 49> level{};
  int SocketPins() const { return model_ == 5148 || model_ == 5149 || model_ >= 6200 ? 48 : 40; }
  // The voltage on socket pin `pin` from supplies, ground, drivers and the chip.
  int PinMillivolts(int socketPin) const;
  // What the programmer alone puts on a pin (supplies, ground, drivers), for a chip reading its
  // own inputs; -1 when nothing does.
  int InputMillivolts(int socketPin) const;
  // The voltage a supply or the ground switch holds on a pin; -1 when none does.
  int SupplyMillivolts(int socketPin) const;
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
  // Places `chip` at the bottom of the socket, as the sets expect a DIP to sit.
  void PlaceChipAtBottom(std::shared_ptr<ChipModel> chip);
  ChipModel* chip() const { return chip_.get(); }
  // Socket pin of chip pin `chipPin`, 0 when not placed.
  int SocketPinOf(int chipPin) const;
  int ChipPinAt(int socketPin) const;

  // Replies: bytes collected for the next 64-byte reply, and raw IN data (block reads).
  void PushReplyByte(std::uint8_t b) { pending_.push_back(b); }
  void PushInData(const std::uint8_t* data, std::size_t length);
  // Replaces the next 64-byte reply as a whole (model name, info block, status).
  void SetNextReply(const std::vector<std::uint8_t>& reply) { nextReply_ = reply; }

  // The simulated clock in microseconds.
  double clockUs() const { return clockUs_; }
  void AdvanceUs(double us) { clockUs_ += us; }
  LatencyModel latency;

  // Record of what happened, for tests.
  std::vector<Command> transcript;
  std::vector<std::string> protocolErrors;
  std::vector<std::string> hazards;
  std::uint32_t transfers = 0;
  bool keepTranscript = true;
  void ClearRecords();

  // Faults a test may inject.
  bool failNextRead = false;

  // Bytes of the bitstream received through register-34 packets since register 33.
  std::vector<std::uint8_t> bitstream;
  bool bitstreamStarted = false;
  // The design the received bitstream names ("" when none) and whether it arrived whole. A whole
  // stand-in bitstream installs MakeDesign(tag); register 33 drops the design it replaces.
  std::string loadedDesign;
  bool bitstreamWhole = false;
  // False: no FPGA answers the presence check before a load.
  bool fpgaPresent = true;

  // Power faults a test may inject: an overload of the supplies, or a socket pin shorted to
  // ground (weak only while VCC or VPP is on that pin).
  bool powerOverload = false;
  int shortedPin = 0;
  // Faults of the socket wiring, for the self-test to find.
  SocketFaults socketFaults;
  // Power status bytes: two on models 5106, 5107, 5149 and above, one on the others.
  bool TwoBytePowerStatus() const;

  // Socket pins whose chip pin does not touch (a bent pin, dirt); indexed by socket pin.
  std::array<bool, 49> looseContact{};
  // With FPGA register 27 set the input registers sense the socket: a pin reads high when a
  // supply is selected on it, or when the supply sits on a touching ground pin of the chip and
  // the pin's own chip pin touches (the voltage spreads through the chip's protection diodes).
  bool SensesVoltage(int socketPin) const;

 private:
  int CommandLength(std::uint8_t op) const;
  void Execute(const Command& c);
  void WriteRegister(std::uint8_t r, std::uint8_t v);
  void CheckSafety();
  void CheckPin(int socketPin);
  void PinsChanged();
  void BitstreamArrived();

  int model_;
  std::string modelName_;
  std::array<std::uint8_t, 64> info_{};
  std::unique_ptr<Design> design_;
  std::shared_ptr<ChipModel> chip_;
  std::array<int, 2> gnd_{};         // ground pins, 0 = none
  std::array<int, 2> vpp_{};         // pins on the VPP supply, 0 = none
  int firstPin_ = 0;                 // socket pin of chip pin 1
  std::array<int, 49> chipPinAt_{};  // chip pin on each socket pin, 0 = none
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> nextReply_;
  std::deque<std::uint8_t> in_;
  double clockUs_ = 0;
  bool packetTail_ = false;  // the rest of this packet is bitstream data
  int vccCompanion_ = 0;     // models 6200 and above: the VCC pin kept beside a bit-7 selection
};

// Inline: the chip models and designs ask for pin voltages on every pin change.
inline bool Programmer::IsGround(int socketPin) const {
  if (socketPin <= 0) return false;
  return gnd_[0] == socketPin || gnd_[1] == socketPin;
}

inline int Programmer::ChipPinAt(int socketPin) const {
  return socketPin >= 1 && socketPin <= 48 ? chipPinAt_[socketPin] : 0;
}

inline int Programmer::SupplyMillivolts(int socketPin) const {
  if (socketPin < 1 || socketPin > 48) return -1;
  if (IsGround(socketPin)) return 0;
  if (HighVoltagePin() == socketPin) return 12000;
  if (VccPin() == socketPin) return VppOnVccPin() ? VppMillivolts() : VccMillivolts();
  if (vpp_[0] == socketPin || vpp_[1] == socketPin) return VppMillivolts();
  return -1;
}

inline int Programmer::InputMillivolts(int socketPin) const {
  const int mv = SupplyMillivolts(socketPin);
  if (mv >= 0 || socketPin < 1 || socketPin > 48) return mv;
  return level[socketPin] >= 0 ? level[socketPin] * 5000 : -1;
}

inline int Programmer::PinMillivolts(int socketPin) const {
  const int mv = SupplyMillivolts(socketPin);
  if (mv >= 0 || socketPin < 1 || socketPin > 48) return mv;
  if (chip_) {
    const int cp = ChipPinAt(socketPin);
    const int d = cp > 0 ? chip_->Drive(cp) : -1;
    if (d >= 0) return d ? 5000 : 0;
  }
  return level[socketPin] >= 0 ? level[socketPin] * 5000 : -1;
}

}  // namespace zelvar::sim
