// The catalogue name finds the model of that very part: its own name, or a name listed for it;
// never a model whose name is only a part of the chip's name.
#include <gtest/gtest.h>

#include "sim/chips/ChipModels.h"

namespace zelvar::test {
namespace chip_models_test {

TEST(ChipModels, NameTheCataloguePartExactly) {
  struct Case {
    const char* name;
    const char* model;  // "" for none
  };
  for (const Case c : {
           Case{"AT89C51", "AT89C51"},
           Case{"ATMEL: AT89C51", "AT89C51"},
           Case{"MPU ATMEL AT89C51", "AT89C51"},
           Case{"AT27C256R", "AT27C256"},         // listed: the same part
           Case{"NATIONAL: NM27C256", "27C256"},  // not ST's M27C256B with ST's signature
           Case{"W78E54B", "W78E54"},
           Case{"W78E54C", "W78E54C"},
           Case{"GAL16V8", "GAL16V8"},
           Case{"GAL16V8D", "GAL16V8B"},
           Case{"GAL22V10", "ATF22V10B"},
           Case{"AT90S8515*P44", "AT90S8515*P44"},  // a model written for the adapter
           Case{"X5045(14pin)", "X5045(14pin)"},
           Case{"SYNCMOS: SM89D02G2", "SM89D02"},
           Case{"SST: SST89V564RD-33-C-PI", "SST89V564RD"},
           Case{"MSU: MSU2956", "MSU2956"},
           Case{"AT89C51RB2", "AT89C51RB2"},
           Case{"AT89S53", "AT89S53"},
           Case{"STC: STC89LE516X2", "STC89LE516X2"},
           Case{"SST: SST89E52RD", "SST89E52RD"},
           Case{"SST89E564RD*P44", ""},
           Case{"STC89LE516AD*P44", ""},
           // Near names and packages no model is written for seat nothing.
           Case{"AT89C51RC", ""},
           Case{"AT89S53*P44", ""},
           Case{"W78E516D", ""},
           Case{"AT89C51*P44", ""},
           Case{"AT27C1024*P44", ""},
           Case{"PIC16F877(ISP)", ""},
           Case{"PIC16F877(PLCC44)", ""},
           Case{"AM28F010", ""},
           Case{"XC9572(ISP)", ""},
           Case{"27C256X", ""},
           Case{"SM8951", ""},
       }) {
    const auto chip = sim::MakeChipModel(c.name);
    EXPECT_EQ(chip ? chip->Name() : "", c.model) << c.name;
  }
  EXPECT_EQ(sim::MakeChipModel("X5045(14pin)")->PinCount(), 14);
}

}  // namespace chip_models_test
}  // namespace zelvar::test
