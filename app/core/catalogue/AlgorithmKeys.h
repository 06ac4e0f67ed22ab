#pragma once
// The fixed list of algorithm keys a device-list line may name, and the set each one binds.
#include <array>
#include <string_view>

namespace zelvar {

// The key that opens the IC tester in place of binding a set.
inline constexpr std::string_view kIcTesterKey = "ICTEST";

// 141 keys for 140 sets, in the order they are compared.
inline constexpr int kAlgorithmKeyCount = 141;
extern const std::array<std::string_view, kAlgorithmKeyCount> kAlgorithmKeys;

// Position of `key` in the list (whole, case-sensitive), -1 when it is not there.
int AlgorithmKeyIndex(std::string_view key);

// The name of the set that `key` binds: the key itself, except "TESTRAM" which shares "DSRAM".
std::string_view AlgorithmSetName(std::string_view key);

}  // namespace zelvar
