#pragma once
// The settings window's state without the window: the serial-number and date stamps that go into
// the buffer after each programmed chip, and the contact and power switches. The edits keep their
// texts (the serial number lives only as the text of Edit2) because projects store them as texts.
// The clock is a port so that a stamp can be checked against a fixed time.
#include <cstdint>
#include <ctime>
#include <functional>
#include <span>
#include <string>

namespace zelvar {

inline constexpr int kDateStampBytes = 16;

struct StampSettings {
  std::string Edit1 = "0fff";  // serial: start address, in the chosen base
  std::string Edit2 = "00";    // serial: the next value, in the chosen base
  std::string Edit3;           // date: the current date and time text
  std::string Edit4 = "0fe0";  // date: start address, in the chosen base
  std::string Edit5 = "2";     // serial: length in bytes (decimal)
  std::string Edit6 = "1";     // serial: increment (decimal)
  bool CheckBox1 = false;      // serial stamp on
  bool CheckBox2 = false;      // date stamp on
  bool CheckBox4 = true;       // test pin contact before each operation
  bool CheckBox5 = true;       // test power (kept with the project only)
  bool CheckBox6 = false;      // serial from the lower address: least significant byte first
  int RadioGroup1 = 0;         // base of the address and serial edits: 0 hex, 1 and 2 decimal
};

// The time now; tests fix it.
using StampClock = std::function<std::time_t()>;
std::time_t SystemClock();

// The date stamp's text: local time as "YYYY-MM-DD hh:mm:ss"; its first 16 bytes are stamped.
std::string DateTimeText(std::time_t t);

// An edit's number: hexadecimal for base 0, else decimal; leading blanks and a sign are allowed,
// and text that is not a number reads as 0.
std::int64_t ParseStampNumber(const std::string& text, int base);
std::string FormatStampNumber(std::int64_t value, int base);

// Writes the enabled stamps into `buffer`. With `advance` the serial number is first increased by
// the increment (after a pass). A stamp outside the buffer, or with a negative address or length,
// is refused with a message: then nothing is written and the serial does not advance. False when
// refused.
bool ApplyStamps(StampSettings& s, bool advance, const StampClock& clock,
                 std::span<std::uint8_t> buffer);

// The settings window's OK: the contact switch takes effect, then the stamps without advancing.
bool ConfirmSettings(StampSettings& s, const StampClock& clock, std::span<std::uint8_t> buffer);

// A user edit of an address, serial, length or increment, or a click of a stamp switch: the
// project counts as changed (settings).
void SettingsEdited();

}  // namespace zelvar
