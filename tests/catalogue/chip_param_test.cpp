#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "app/core/catalogue/ChipParams.h"
#include "services/AppState.h"

namespace zelvar {
namespace chip_param_test {

class ChipParamTest : public ::testing::Test {
 protected:
  void SetUp() override { gApp.Reset(); }
  void TearDown() override { gApp.Reset(); }
};

TEST_F(ChipParamTest, ReadsHexDecimalAndAbsentItems) {
  struct Case {
    const char* text;
    const char* key;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"P27 13 vcc=0x1388", "vcc=", 5000},
      {"P27 13 vcc=5000", "vcc=", 5000},
      {"P27 13 cfg=2 vcc=5000", "cfg=", 2},
      {"P27 13", "vcc=", 0},
      {"P27 13 vcc=abc", "vcc=", 0},
      {"P27 13 len=-1", "len=", 0xFFFFFFFFu},
      {"P27 13 fla=0x1F dly=3", "fla=", 0x1F},
      {"P27 13 fla=0X1F", "fla=", 0},    // only a lower-case x marks hex
      {"P27 13 vcc=5000", "cc=", 5000},  // a plain substring search finds "vcc="
      {"P27 13 vcc", "vcc", 0},          // no '=' after the key
      {"P27 13 ee=99999999999", "ee=", 0x7FFFFFFF},
  };
  for (const Case& c : cases) {
    gApp.ParameterString = c.text;
    EXPECT_EQ(ChipParam(c.key), c.value) << c.text << " / " << c.key;
  }
}

TEST_F(ChipParamTest, ChipNameContainsGivesTheOneBasedPosition) {
  gApp.ChipTitle = "ATMEL: AT89C51*P44";
  EXPECT_EQ(ChipNameContains("ATMEL"), 1);
  EXPECT_EQ(ChipNameContains("*P44"), 15);
  EXPECT_EQ(ChipNameContains("*p44"), 0);  // case-sensitive
  EXPECT_EQ(ChipNameContains("*Q44"), 0);
}

TEST_F(ChipParamTest, HeadGivesKeyTypeIndexAndExpectedId) {
  struct Case {
    const char* text;
    const char* key;
    int typeIndex;
    std::array<std::uint8_t, 4> id;
  };
  const Case cases[] = {
      {"P89C51 1 #1e 51 06 00", "P89C51", 1, {0x1E, 0x51, 0x06, 0x00}},
      {"P89C51 1#1e,51,06,00 vcc=5000", "P89C51", 1, {0x1E, 0x51, 0x06, 0x00}},
      {"P27 13 vcc=5000", "P27", 13, {0, 0, 0, 0}},
      {"P27 13x", "P27", 13, {0, 0, 0, 0}},
      {"P27 x13", "P27", 0, {0, 0, 0, 0}},
      {"P27 ", "P27", 0, {0, 0, 0, 0}},
      // Missing digits at the end read as 0, never past the text.
      {"P27 2 #1e 8", "P27", 2, {0x1E, 0x08, 0, 0}},
      {"P27 2 #", "P27", 2, {0, 0, 0, 0}},
      {"P27 2 #zz 8c", "P27", 2, {0, 0x8C, 0, 0}},
  };
  for (const Case& c : cases) {
    const auto head = ParseParameterHead(c.text);
    ASSERT_TRUE(head.has_value()) << c.text;
    EXPECT_EQ(head->key, c.key) << c.text;
    EXPECT_EQ(head->typeIndex, c.typeIndex) << c.text;
    EXPECT_EQ(head->expectedId, c.id) << c.text;
  }
  EXPECT_FALSE(ParseParameterHead("---").has_value());
  EXPECT_FALSE(ParseParameterHead("").has_value());
}

TEST_F(ChipParamTest, AdapterLabelFromItemOrPackageCode) {
  struct Case {
    const char* parameters;
    const char* title;
    const char* label;  // nullptr: the label keeps its text
  };
  const Case cases[] = {
      {"P29F 3 adp=QAD-UNIV-48TS", "X: Y", "QAD-UNIV-48TS"},
      {"P29F 3 adp=QAD-UNIV-48TS vcc=5000", "X: Y", "QAD-UNIV-48TS"},  // ends at the blank
      {"P29F 3 adp=QAD-44\tvcc=5000", "X: Y", "QAD-44"},               // and at a control character
      {"P29F 3 adp=QAD-44\r", "X: Y", "QAD-44"},
      {"P29F 3 adp=QAD-UNIV-48TSOP-LONG", "X: Y", "QAD-UNIV-48TSOP"},  // 15 characters at most
      {"P29F 3 adp=", "X: Y", ""},
      {"P29F 3", "AMD: AM29F040 32PLCC", "QAD-UNIV-32PLCC"},
      {"P29F 3", "ATMEL: AT89C51*P44", "QAD-UNIV-44"},
      {"P29F 3", "ATMEL: AT89C51*Q44", "QAD-UNIV-44TQ"},
      {"P29F 3", "X: CHIP 44PS", "QAD-UNIV-44PS"},  // "44P" matches too, the later code wins
      {"P29F 3", "X: CHIP 44P", "QAD-UNIV-44P"},
      {"P29F 3", "ATMEL: AT27C256", nullptr},
  };
  for (const Case& c : cases) {
    const auto label = AdapterLabelFor(c.parameters, c.title);
    if (c.label == nullptr) {
      EXPECT_FALSE(label.has_value()) << c.title;
    } else {
      ASSERT_TRUE(label.has_value()) << c.parameters << " " << c.title;
      EXPECT_EQ(*label, c.label);
    }
  }
}

}  // namespace chip_param_test
}  // namespace zelvar
