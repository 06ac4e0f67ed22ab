#pragma once
// The row images of the JTAG CPLD sets: register values written as hex text, JEDEC fuse lines
// turned into a data-register image, and a read-back image spelled as a fuse line again.
//
// A row image holds the two control bits in bits 0 and 1, then one 8-bit slot per fuse group
// from bit 2 on (a 6-fuse group fills the low 6 bits of its slot), so that k groups take bytes
// 0 to k of the image.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zelvar::memory {

// Most bits a row's data may have: the shift buffer holds the image and the 24-bit row address.
inline constexpr int kMaxJtagRowBits = 2048;

// Hex digits, most significant first, two per byte, into register bytes least significant first
// ("02a957" for 18 bits gives 0x57, 0xA9, 0x02). False, with `out` untouched, when the text does
// not hold exactly the digits `bits` needs, when a digit is not hex, or when `out` is too small.
bool HexTextToBits(std::string_view text, std::span<std::uint8_t> out, int bits);
// The same with one digit per 4 bits, ceil(bits / 4) digits ("2" then 94 "0" for 378 bits sets
// bit 377); extra leading digits give no bit, and the spare high bits of the first digit used
// must be 0.
bool HexDigitsToBits(std::string_view text, std::span<std::uint8_t> out, int bits);

// One JEDEC fuse line ("L0000032 00000000 11111111 ...*") as the row image of `groups` groups of
// `width` fuses each. Returns the number of groups, or 0 when the line is not an L field, has
// another number of groups, a group of another width, or no closing '*': a file for a larger
// device would otherwise put fuses at wrong addresses.
int ParseJedecField(std::string_view line, int groups, int width, std::span<std::uint8_t> out);

// The fuse line of a read-back row image: "L%07d " with `fuse`, then `groups` groups of `width`
// fuses, blank-separated and closed by '*'.
std::string JedecFuseLine(std::span<const std::uint8_t> image, int fuse, int width, int groups);

}  // namespace zelvar::memory
