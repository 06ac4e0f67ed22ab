#include "app/core/settings/Stamps.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

namespace {

// True when [address, address + length) lies inside the buffer.
bool Fits(std::int64_t address, std::int64_t length, std::size_t size) {
  return address >= 0 && length >= 0 && address + length <= static_cast<std::int64_t>(size);
}

}  // namespace

std::time_t SystemClock() {
  return std::time(nullptr);
}

std::string DateTimeText(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::int64_t ParseStampNumber(const std::string& text, int base) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, base == 0 ? 16 : 10);
  if (end == text.c_str() || errno == ERANGE) return 0;
  return v;
}

std::string FormatStampNumber(std::int64_t value, int base) {
  char text[32];
  if (base != 0) {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
  } else {
    std::snprintf(text, sizeof text, value < 0 ? "-%llx" : "%llx",
                  value < 0 ? 0ull - static_cast<unsigned long long>(value)
                            : static_cast<unsigned long long>(value));
  }
  return text;
}

bool ApplyStamps(StampSettings& s, bool advance, const StampClock& clock,
                 std::span<std::uint8_t> buffer) {
  const int base = s.RadioGroup1;
  const std::int64_t serialAddress = ParseStampNumber(s.Edit1, base);
  const std::int64_t length = ParseStampNumber(s.Edit5, 1);
  const std::int64_t dateAddress = ParseStampNumber(s.Edit4, base);
  // Both stamps are checked before either is written, so a refusal leaves the buffer as it was.
  if (s.CheckBox1 && !Fits(serialAddress, length, buffer.size())) {
    ShowMessageText("Serial number outside the buffer!*序列号的地址超出缓冲区!");
    return false;
  }
  if (s.CheckBox2 && !Fits(dateAddress, kDateStampBytes, buffer.size())) {
    ShowMessageText("Date stamp outside the buffer!*日期的地址超出缓冲区!");
    return false;
  }

  if (s.CheckBox1) {
    if (serialAddress == 0) ShowMessageText("Address=0000?");
    std::int64_t serial = ParseStampNumber(s.Edit2, base);
    if (advance) {
      // Wraps rather than overflows on absurd increments.
      serial = static_cast<std::int64_t>(static_cast<std::uint64_t>(serial) +
                                         static_cast<std::uint64_t>(ParseStampNumber(s.Edit6, 1)));
    }
    s.Edit2 = FormatStampNumber(serial, base);
    for (std::int64_t i = 0; i < length; ++i) {
      const std::int64_t at = s.CheckBox6 ? serialAddress + i : serialAddress + length - 1 - i;
      buffer[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(serial & 0xFF);
      serial >>= 8;
    }
  }
  if (s.CheckBox2) {
    s.Edit3 = DateTimeText(clock ? clock() : SystemClock());
    auto out = buffer.subspan(static_cast<std::size_t>(dateAddress), kDateStampBytes);
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    std::copy_n(s.Edit3.begin(), std::min<std::size_t>(s.Edit3.size(), out.size()), out.begin());
  }
  return true;
}

bool ConfirmSettings(StampSettings& s, const StampClock& clock, std::span<std::uint8_t> buffer) {
  gLink.DetectPinFlag = s.CheckBox4 ? 1 : 0;
  return ApplyStamps(s, false, clock, buffer);
}

void SettingsEdited() {
  gApp.ProjectModified |= 4;
}

}  // namespace zelvar
