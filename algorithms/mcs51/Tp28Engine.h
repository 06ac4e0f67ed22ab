#pragma once
// The TP28xx engine, once for "TP2804" and "TP2808": 40-pin flash 8051s driven through the
// "tp2804" design. The address goes out on programmer ports 0 (low byte) and 1 (high byte), the
// data byte by command 33, and eight control flags c0..c7 as one byte on port 2 (the design wires
// them to RST, P3.7, PSEN, EA, ALE, P3.6, P3.5 and P3.4). Bytes go in 64-byte pages: loaded by c1
// pulses, programmed as c5 rises. "TP2808" reaches the upper 64 KB with c6. The flags keep their
// values from one operation to the next.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

struct Tp28Policy {
  bool a16 = false;  // c6 carries A16 (TP2808); otherwise it stays high while writing
};

class Tp28Set : public ParallelSet {
 public:
  // Whole 64-byte pages up to `maxLast`, the packages' supply pins, and the two designs.
  static void CheckTpRow(const ParallelType& t, std::uint32_t maxLast, TypeTableReport& r);

 protected:
  virtual const Tp28Policy& Policy() const = 0;
  virtual std::size_t RowCount() const = 0;
  // The image Write programs and Verify compares: the buffer up to the last address with the
  // part's fixed bytes, never the buffer itself.
  virtual void PatchImage(std::vector<std::uint8_t>& image) const = 0;

  const AddressPins& Address() const override;
  std::span<const int> Operations() const override;
  void Init() override;
  void Read() override;
  void Blank() override;
  void Verify() override;
  void Write() override;
  void Erase() override;

 private:
  using Flag = std::pair<int, bool>;
  // Sets the flags together, then writes them to port 2 once.
  void Flags(std::initializer_list<Flag> flags);
  void TpAddress(std::uint32_t a);
  void TpNext();
  void ReadEntry();
  bool ScanImage(Scan kind);

  std::uint8_t controls_ = 0;
  std::uint32_t current_ = 0;
};

}  // namespace zelvar::mcs51
