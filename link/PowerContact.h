#pragma once
// The two checks that guard the chip in the socket: the power check after a set switched its
// supplies on, and the pin-contact check before an operation starts.
#include <cstdint>

namespace zelvar {

// True when the programmer's supplies hold up; otherwise a log line, StatusWord 1, false.
bool CheckPower();
// Asks the programmer for its power status. On the one-byte models a weak supply also releases
// the VPP and VCC pins.
bool ReadPowerStatus();

// Ground-pin codes beside the socket pins 1-48.
inline constexpr std::uint32_t kGroundPins11And30 = 100;
inline constexpr std::uint32_t kGroundTestOnPin13 = 101;

// The contact check's answers.
enum ContactResult : int { kContactRefused = 0, kContactGood = 1, kContactIgnored = 2 };

// Checks that every pin of the mask (bit n-1 = socket pin n, low word first) touches, with the
// test voltage on `gndPin`; asks the user through the bad-pin window when some do not. The
// second and third arguments are not used.
int CheckPinContact(std::uint32_t gndPin, std::uint32_t, std::uint32_t, std::uint32_t maskLow,
                    std::uint32_t maskHigh);
// Leaves the 48-bit contact bitmap in ScratchBuffer bytes 0 to 5.
void TestPinContact(std::uint32_t gndPin);
// The set-up and clean-up around the test on models below 6200.
void PrepareContactTest();
void EndContactTest();

}  // namespace zelvar
