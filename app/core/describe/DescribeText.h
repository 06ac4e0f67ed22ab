#pragma once
// Reading the entries of a describe list: section markers, list end, descriptor items, numbers.
#include <cstdint>
#include <string>
#include <string_view>

#include "services/Dispatcher.h"

namespace zelvar {

// True when `entry` begins with `prefix`.
bool StartsWith(std::string_view entry, std::string_view prefix);

// An entry that ends a section: an empty (unfilled) entry or one that begins with '$'.
bool IsSectionBreak(const std::string& entry);

// Index of the first entry that begins with "$end", or the list's length (at most 1024) when
// there is none. Nothing from this index on is read.
int ListEnd(const ChipUiList& list);

// Index of the first entry before the list end that begins with `marker`, -1 when none.
int FindSection(const ChipUiList& list, std::string_view marker);

// The value of a descriptor item ("n=", "v=", ...): found at the key's first occurrence anywhere in
// the entry and running to the next comma or the end; "0" when the key is absent.
std::string DescriptorItem(std::string_view entry, std::string_view key);

// A decimal number, or hexadecimal with a "0x" or "$" prefix; anything else (an empty text, stray
// characters, a decimal past 32 bits) reads as 0. Hexadecimal values wrap to 32 bits.
std::int32_t ParseNumber(std::string_view text);

// The leading hexadecimal digits of `text` (after blanks and an optional "0x"), 0 when none.
std::uint32_t ParseHexWord(std::string_view text);

}  // namespace zelvar
