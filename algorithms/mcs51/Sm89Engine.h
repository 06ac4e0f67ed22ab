#pragma once
// The SyncMOS SM89 12 V parallel engine, once for "SM8951" and "SM89516": 40-pin flash 8051s of 4
// to 64 KB, 12 V on EA/VPP, A0..A7 on port 0 and A8..A15 on P2, the data byte on P0 and a write
// pulse on ALE/PROG whose length the "Delay" radio picks (30, 50 or 100 µs). The operation is a
// mode on P3.0..P3.2 ("SM8951") or P3.0..P3.5 ("SM89516"); each set gives its pin steps.
#include <array>
#include <cstdint>
#include <string_view>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

struct Sm89Type {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint32_t eraseGroups = 0;  // "SM8951": erase steps of 24 ms
};

class Sm89Set : public ParallelSet {
 public:
  static void CheckRow(const Sm89Type& t, TypeTableReport& r) {
    ParallelSet::CheckRow({.name = t.name, .lastAddress = t.lastAddress}, r);
  }

 protected:
  const AddressPins& Address() const override;
  std::span<const int> Operations() const override;
  void Init() override;
  void Read() override;
  void Blank() override;
  void Verify() override;
  void Write() override;

  // The set's steps: power-up, the levels before a read, before the writes, after them.
  virtual void PowerUp() = 0;
  virtual void ReadLevels() = 0;
  virtual void WriteLevels() = 0;
  virtual int ReadVccMillivolts() const = 0;
  // P3.0 upwards from the bits of `m` (the set's mode width).
  void SetModePins(std::uint32_t m) const;
  virtual int ModeWidth() const = 0;
  virtual std::size_t RowCount() const = 0;
  void CommonPowerUp() const;

 private:
  void ProgramByte(std::uint8_t b);
  bool EnterRead();
};

}  // namespace zelvar::mcs51
