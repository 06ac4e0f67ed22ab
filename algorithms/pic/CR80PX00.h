#pragma once
// "CR80PX00": the CR80P100, CR80P200 and CR80P110 one-time-programmable microcontrollers, 14-bit
// words moved as two 7-bit halves on a data port, five signal lines and a clock line through FPGA
// register 18 (S1 held low, S2 the mode strobe, S3 the half select, S4 and S5 the programming
// pulse pair). Modes: 0 program memory, 1 ID area, 2 option, 5 security. The only set that
// answers User info (operation 34): the user ID into the ID area.
#include <array>

#include "algorithms/pic/OtpSet.h"

namespace zelvar::pic {

struct Cr80pType {
  std::string_view name;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::uint8_t s1 = 0, s2 = 0, s3 = 0, s4 = 0, s5 = 0;
  std::uint8_t port = 0, readCommand = 0;
  std::int32_t lastAddress = 0;
  std::uint8_t clock = 0;
  std::uint64_t contactMask = 0;
  bool maskByModel = false;  // no contact test on models 5104, 5105 and 5148
};

class CR80PX00 final : public OtpSet {
 public:
  static constexpr std::uint64_t kSeat18 = 0x1FFFF800;
  static constexpr std::array<Cr80pType, 4> kTypes = {{
      {.name = "Exit"},
      {"1: CR80P100 (1k)", 14, 25, 16, 5, 6, 8, 3, 4, 0, 1, 2047, 7, kSeat18, true},
      {"2: CR80P200 (2k)", 7, 8, 10, 2, 11, 3, 5, 6, 1, 2, 4095, 10, 0x3FFFFFAC0, false},
      {"3: CR80P110 (1k)", 14, 25, 16, 5, 6, 8, 3, 4, 0, 1, 2047, 7, kSeat18, true},
  }};
  // Supply pins distinct, the lines distinct, off the supplies, and in 1..15 of the design; the
  // port the read command samples; the size a power of two less one.
  static void CheckRow(const Cr80pType& t, TypeTableReport& r);

  // The 6-bit option word from Radio1 OSC, Radio2 WDT and Radio3 Osc Delay, and the choices a
  // word read back gives.
  static std::uint16_t OptionValue(std::uint32_t osc, std::uint32_t wdt, std::uint32_t delay);
  struct Choices {
    std::uint32_t osc, wdt, delay;
  };
  static Choices OptionChoices(std::uint8_t config);

 private:
  void Init() override;
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::span<const int> Operations() const override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Config() override;
  void Lock() override;
  void ReadConfig() override;
  void UserInfo() override;

  bool Row3() const { return gApp.TypeIndex == 3; }
  void Clock(int n) const;
  void Enter() const;
  void Mode(std::uint8_t m) const;
  void Pulse() const;
  void ProgramWord(std::uint32_t w) const;
  void ReadWord() const;
  void ReadStart() const;
  void SkipRead() const;
  // Blank (nullptr) or Verify against the buffer; `checkPower` for Blank.
  void Scan(const std::uint8_t* want, bool checkPower);
  bool NotOnRow3();

  Cr80pType lines_;
  std::uint16_t lastOption_ = 0;
  std::uint8_t lastConfig_ = 0;
};

}  // namespace zelvar::pic
