#pragma once
// The chosen chip's parameter text: its head (key, type row, expected ID) and its key=value
// items, which the algorithm sets read through ChipParam.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelvar {

inline constexpr int kParameterStringMax = 499;  // a 500-byte text

struct ParameterHead {
  std::string key;                           // before the first blank
  int typeIndex = 0;                         // the digits right after the first blank
  std::array<std::uint8_t, 4> expectedId{};  // the '#' part, 0 where digits are missing
};

// The head of `text`; nullopt when it has no blank.
std::optional<ParameterHead> ParseParameterHead(std::string_view text);

// The value of the first item `key` (such as "vcc=") in `text`: hexadecimal when written with a
// leading 0x, else signed decimal; 0 when absent or not a number. A plain substring search, so
// "cc=" also finds "vcc=".
std::uint32_t ParameterValue(std::string_view text, std::string_view key);

// ParameterValue of the chosen chip's ParameterString.
std::uint32_t ChipParam(std::string_view key);

// 1-based position of `text` in the chosen chip's ChipTitle (case-sensitive), 0 when absent.
int ChipNameContains(std::string_view text);

// The adapter label for a chip: the "adp=" item's text, else the last package code of the title
// that has a label; nullopt when neither gives one (the label keeps its text).
std::optional<std::string> AdapterLabelFor(std::string_view parameters, std::string_view title);

}  // namespace zelvar
