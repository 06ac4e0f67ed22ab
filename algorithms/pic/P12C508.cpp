#include "algorithms/pic/P12C508.h"

#include <cstdio>

#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::pic {

void P12C508::AfterSetup() {
  WriteFpgaRegister(29, 4);
}

int P12C508::ProgramTicks() const {
  const auto choice = static_cast<int>(Word(129));
  return choice >= 0 && choice <= 2 ? choice + 1 : 1;
}

std::uint16_t P12C508::ConfigWord() const {
  return static_cast<std::uint16_t>((ConfigToWrite() & 0xFFC) | (Word(128) & 3u));
}

void P12C508::LogConfigWritten(std::uint16_t config) const {
  // Bits 5 up are the chip's unused ones, all 1: the line shows them as a 32-bit value.
  char line[32];
  std::snprintf(line, sizeof line, "%02x OK", static_cast<unsigned>(config) | 0xFFFFFFE0u);
  AddMessageLine(line);
}

void P12C508::LogConfigRead(std::uint16_t config, std::uint16_t /*id*/) const {
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", config & 0xFFu);
  AddMessageLine(line);
}

}  // namespace zelvar::pic
