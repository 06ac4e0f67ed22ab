#pragma once
// The buffer tools behind the small forms: find, fill and sum, the three-number dialog and the
// number converter.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelvar {

inline constexpr std::size_t kMaxPattern = 300;
inline constexpr std::int64_t kMaxToolAddress = 0xFFFFFF;

// Find form. The ASCII field as hex digits ("%02X" per character, at most 300 characters).
std::string AsciiToHexText(const std::string& ascii);
// The hex field in pairs from the first (a last odd digit is ignored), at most 300 bytes. A pair
// that is not hexadecimal reads as far as its digits go, as "%02x" does.
std::vector<std::uint8_t> HexTextToBytes(const std::string& hex);
// Bytes as the ASCII field shows them: 32..127 as themselves, others as '.'.
std::string BytesToAsciiText(const std::vector<std::uint8_t>& bytes);

// Searches `pattern` from SearchCursor over the start offsets below CodeLastAddress, never
// comparing past the buffer's end. A hit moves SearchCursor past it; a miss resets it to 0 and
// says "Not find!". An empty pattern finds nothing and says nothing.
std::optional<std::int64_t> FindNext(const std::vector<std::uint8_t>& pattern);

// Fill and Sum over start..end inclusive, parsed as "%x". An address that is not a number or lies
// past 0xFFFFFF is refused with "Out of range!" (false / nullopt); start > end does nothing (Fill)
// or gives "0000" (Sum).
bool FillRange(const std::string& startText, const std::string& endText,
               const std::string& valueText);
// Clear buffer: the view range's bytes from its start up to (not including) its end to 0xFF.
void ClearViewRange();
std::optional<std::string> SumRange(const std::string& startText, const std::string& endText);

// The three-number hex dialog's results.
struct ThreeNumbers {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::uint32_t value = 0;
  int accepted = 0;
};
// OK: parses the three fields ("%x"; a field without a number keeps its value) and limits start
// and end to 0xFFFFFF.
void AcceptThreeNumbers(ThreeNumbers& n, const std::string& start, const std::string& end,
                        const std::string& value);

// Number converter: the four fields for a value, and the value from the field last typed in
// (1 hex, 2 decimal, 3 binary, 4 float); none when that field holds no number.
struct NumberTexts {
  std::string hex, decimal, binary, single;
};
NumberTexts NumberToTexts(std::uint32_t value);
std::optional<std::uint32_t> TextToNumber(int field, const std::string& text);

// One item of a config descriptor ("n=Name,v=1,..."): the text after `key` (such as "n=") up to
// the next ',' or the end; "0" when the key is not there.
std::string ConfigItemValue(const std::string& descriptor, const std::string& key);

}  // namespace zelvar
