#include "sim/designs/DesignRegistry.h"

#include <utility>

#include "sim/designs/At25spi.h"
#include "sim/designs/Atf22v10b.h"
#include "sim/designs/AvrParallel.h"
#include "sim/designs/AvrSerial.h"
#include "sim/designs/I2c24c.h"
#include "sim/designs/I82802.h"
#include "sim/designs/IcTest.h"
#include "sim/designs/P29F640.h"
#include "sim/designs/P51Parallel.h"
#include "sim/designs/P93cxxx.h"
#include "sim/designs/TestPin.h"
#include "sim/designs/W79eIcp.h"
#include "sim/designs/WordEprom.h"
#include "sim/designs/X5045.h"
#include "sim/designs/Zor5103.h"

namespace zelvar::sim {

namespace {
using Factory = std::unique_ptr<Design> (*)();
// One row per design: its tag and its factory. Families add their designs here.
constexpr std::pair<std::string_view, Factory> kDesigns[] = {
    {"zor5103", MakeZor5103},
    {"at27c2048dip40", MakeAt27c2048Dip40},
    {"at27c4096dip40", MakeAt27c4096Dip40},
    {"p51dip40", MakeP51Dip40},
    {"p51plcc44", MakeP51Plcc44},
    {"zor5103at51plcc44", MakeP51Plcc44},
    {"testpin", MakeTestPin},
    {"ictest", MakeIcTest},
    {"atf22v10b", MakeAtf22v10b},
    {"w79e2051dip20", MakeW79e2051Dip20},
    {"w79e82xp20", MakeW79e82xP20},
    {"i2c24c", MakeI2c24c},
    {"at25spi", MakeAt25spi},
    {"p93cxxx", MakeP93cxxx},
    {"x5045dip08", MakeX5045Dip08},
    {"atmega8dip28", MakeAtmega8Dip28},
    {"at90s8515dip40", MakeAt90s8515Dip40},
    {"at90s8535dip40std", MakeAt90s8535Dip40Std},
    {"Atiny12", MakeAtiny12},
    {"Atiny15", MakeAtiny15},
    {"Atiny12std", MakeAtiny12Std},
    {"Atiny15std", MakeAtiny15Std},
    {"i82802", MakeI82802},
    {"tsop48p29", MakeP29F640Tsop48},
    {"sst39xx040dip32", MakeP29F640Dip32},
};
}  // namespace

std::unique_ptr<Design> MakeDesign(std::string_view tag) {
  for (const auto& [t, make] : kDesigns) {
    if (make && t == tag) return make();
  }
  return nullptr;
}

}  // namespace zelvar::sim
