#include "app/core/settings/Stamps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "support/FakeServices.h"

namespace zelvar::test {
namespace stamps_test {

class StampsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    gLink.Reset();
    SetServices(&fake);
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    buffer.assign(0x2000, 0xEE);
  }
  void TearDown() override {
    SetServices(nullptr);
    gApp.Reset();
    gLink.Reset();
  }
  bool Apply(bool advance) { return ApplyStamps(s, advance, clock, buffer); }

  FakeServices fake;
  StampSettings s;
  std::vector<std::uint8_t> buffer;
  // 2026-12-10 15:51:07 UTC.
  StampClock clock = [] { return std::time_t{1796917867}; };
};

TEST_F(StampsTest, SerialStampTable) {
  struct Case {
    const char* serial;
    const char* length;
    int base;
    bool lowFirst;
    bool advance;
    const char* after;                   // Edit2 afterwards
    std::vector<std::uint8_t> expected;  // bytes 0x0FFF on
  };
  const Case cases[] = {
      {"00FF", "2", 0, false, true, "100", {0x01, 0x00}},
      {"00FF", "2", 0, true, true, "100", {0x00, 0x01}},
      {"00FF", "2", 0, false, false, "ff", {0x00, 0xFF}},  // OK: no advance
      {"255", "2", 1, false, true, "256", {0x01, 0x00}},   // decimal base
      {"255", "2", 2, true, true, "256", {0x00, 0x01}},    // "Float" reads as decimal
      {"12345678", "6", 0, false, false, "12345678", {0, 0, 0x12, 0x34, 0x56, 0x78}},
      {"zz", "1", 0, false, true, "1", {0x01}},  // not a number: 0
      {"7", "0", 0, false, true, "8", {0xEE}},   // length 0 writes nothing
  };
  for (const Case& c : cases) {
    buffer.assign(0x2000, 0xEE);
    s = {};
    s.CheckBox1 = true;
    s.Edit2 = c.serial;
    s.Edit5 = c.length;
    s.RadioGroup1 = c.base;
    s.Edit1 = c.base == 0 ? "0fff" : "4095";
    s.CheckBox6 = c.lowFirst;
    ASSERT_TRUE(Apply(c.advance)) << c.serial;
    EXPECT_EQ(s.Edit2, c.after) << c.serial;
    const std::vector<std::uint8_t> got(buffer.begin() + 0x0FFF,
                                        buffer.begin() + 0x0FFF + c.expected.size());
    EXPECT_EQ(got, c.expected) << c.serial << " base " << c.base;
    EXPECT_EQ(buffer[0x0FFE], 0xEE) << c.serial;
  }
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(StampsTest, DateStampTakesSixteenBytesOfTheClock) {
  s.CheckBox2 = true;
  s.Edit4 = "100";
  ASSERT_TRUE(Apply(true));
  EXPECT_EQ(s.Edit3, "2026-12-10 15:51:07");
  EXPECT_EQ(std::string(buffer.begin() + 0x100, buffer.begin() + 0x110), "2026-12-10 15:51");
  EXPECT_EQ(buffer[0x110], 0xEE);
  EXPECT_EQ(s.Edit2, "00") << "the serial stamp is off: its number stays";
}

TEST_F(StampsTest, StampsOutsideTheBufferAreRefusedWholly) {
  struct Case {
    const char* serialAddress;
    const char* length;
    const char* dateAddress;
    const char* box;
  };
  const Case cases[] = {
      {"1fff", "2", "0", "Serial number outside the buffer!"},
      {"-1", "2", "0", "Serial number outside the buffer!"},
      {"10", "-2", "0", "Serial number outside the buffer!"},
      {"10", "2", "1ff1", "Date stamp outside the buffer!"},
      {"10", "2", "-5", "Date stamp outside the buffer!"},
  };
  for (const Case& c : cases) {
    buffer.assign(0x2000, 0xEE);
    fake.boxes.clear();
    s = {};
    s.CheckBox1 = s.CheckBox2 = true;
    s.Edit1 = c.serialAddress;
    s.Edit5 = c.length;
    s.Edit4 = c.dateAddress;
    EXPECT_FALSE(Apply(true)) << c.box;
    EXPECT_EQ(fake.boxes, std::vector<std::string>{c.box});
    EXPECT_EQ(s.Edit2, "00") << "a refused stamp does not advance";
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xEE), 0x2000) << c.serialAddress;
  }
  // The last byte of the buffer is still inside.
  s = {};
  s.CheckBox1 = true;
  s.Edit1 = "1ffe";
  EXPECT_TRUE(Apply(false));
}

TEST_F(StampsTest, AddressZeroAsksButStampsAndOkSetsTheContactSwitch) {
  s.CheckBox1 = true;
  s.Edit1 = "0";
  s.Edit2 = "5";
  s.CheckBox4 = false;
  ASSERT_TRUE(ConfirmSettings(s, clock, buffer));
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Address=0000?"});
  EXPECT_EQ(buffer[1], 0x05);
  EXPECT_EQ(s.Edit2, "5");
  EXPECT_EQ(gLink.DetectPinFlag, 0);
  s.CheckBox4 = true;
  ConfirmSettings(s, clock, buffer);
  EXPECT_EQ(gLink.DetectPinFlag, 1);

  gApp.ProjectModified = 16;
  SettingsEdited();
  EXPECT_EQ(gApp.ProjectModified, 20);
}

}  // namespace stamps_test
}  // namespace zelvar::test
