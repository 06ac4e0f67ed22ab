#pragma once
// Small text helpers of the buffer files and tools: hexadecimal digits and file extensions.
#include <cstdint>
#include <optional>
#include <string>

namespace zelvar {

// The value of a hexadecimal digit of either case, or -1.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Two hexadecimal digits, either case, to one byte (high * 16 + low). The callers hand it digits
// they have already taken from hexadecimal text; anything else counts as 0.
std::uint8_t HexPairToByte(char high, char low);

// Reads a number as "%x" does: leading blanks, an optional "0x", then hexadecimal digits up to the
// first other character. None when no digit is there. Values above 32 bits saturate, so a range
// check on the result sees them.
std::optional<std::uint64_t> ParseHexNumber(const std::string& text);

// The extension of a path's file name with its dot ("" when none), as written.
std::string FileExtension(const std::string& path);
std::string UpperCase(std::string text);
// `path` with its extension replaced by `ext` (which starts with a dot).
std::string ChangeFileExt(const std::string& path, const std::string& ext);

}  // namespace zelvar
