#include "algorithms/pic/PIC16F5XX.h"

#include <algorithm>
#include <cstdio>

#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
// The groups whose oscillator rows follow the radio's three bits.
bool RadioGroup() {
  const int group = services().ChipParam("cfg=");
  return group == 0 || group == 1;
}
}  // namespace

std::span<const McuPackage> PIC16F5XX::Packages() const {
  if (gLink.ModelNumber >= 6300) return pic16f5xx::kNewer;
  return pic16f5xx::kOlder;
}

std::span<const char* const> PIC16F5XX::DescribeList() const {
  const int group = services().ChipParam("cfg=");
  if (group == 0 || group == 1) return pic16f5xx::kDescribe8;
  if (group == 2 || group == 3) return pic16f5xx::kDescribe4;
  return pic16f5xx::kDescribeNone;
}

std::uint32_t PIC16F5XX::RadioOf(std::uint16_t config) const {
  return RadioGroup() ? config & 7u : config & 3u;
}

std::uint16_t PIC16F5XX::ConfigWord() const {
  const std::uint16_t rows = Cal12Set::ConfigWord();
  if (!RadioGroup()) return rows;
  return static_cast<std::uint16_t>((rows & ~7u) | (Word(128) & 7u));
}

void P12F508::AfterSetup() {
  WriteFpgaRegister(29, 4);
}

int P12F508::ProgramTicks() const {
  // Radio item 0 "1 Ms", item 1 "2 Ms": one tick a millisecond, never under the chips' 2 ms.
  const int chosen = static_cast<int>(Word(129)) + 1;
  return std::max(cal12::kMinTicks, chosen);
}

std::uint16_t P12F508::ConfigWord() const {
  return static_cast<std::uint16_t>((ConfigToWrite() & 0xFFC) | (Word(128) & 3u));
}

void P12F508::LogConfigWritten(std::uint16_t config) const {
  char line[32];
  std::snprintf(line, sizeof line, "%02x OK", config);
  AddMessageLine(line);
}

void P12F508::LogConfigRead(std::uint16_t config, std::uint16_t id) const {
  char line[48];
  std::snprintf(line, sizeof line, "Config=%04x,UserID=%04x", config, id);
  AddMessageLine(line);
}

}  // namespace zelvar::pic
