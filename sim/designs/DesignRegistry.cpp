#include "sim/designs/DesignRegistry.h"

#include <utility>

#include "sim/designs/Ak6420.h"
#include "sim/designs/At25spi.h"
#include "sim/designs/Atf22v10b.h"
#include "sim/designs/AvrParallel.h"
#include "sim/designs/AvrSerial.h"
#include "sim/designs/AvrSpi.h"
#include "sim/designs/Em78p.h"
#include "sim/designs/I2c24c.h"
#include "sim/designs/I82802.h"
#include "sim/designs/IcTest.h"
#include "sim/designs/JtagTap.h"
#include "sim/designs/Lp76x.h"
#include "sim/designs/Lpc900.h"
#include "sim/designs/Mdt2000.h"
#include "sim/designs/MdtSerial.h"
#include "sim/designs/Mx1611.h"
#include "sim/designs/P29F640.h"
#include "sim/designs/P51Parallel.h"
#include "sim/designs/P93cxxx.h"
#include "sim/designs/Pic16c5x.h"
#include "sim/designs/Pic17Bus.h"
#include "sim/designs/Pic18Icsp.h"
#include "sim/designs/Pic30Icsp.h"
#include "sim/designs/PicIcsp.h"
#include "sim/designs/Sm59Isp.h"
#include "sim/designs/SmallOtp.h"
#include "sim/designs/Stc12.h"
#include "sim/designs/TestPin.h"
#include "sim/designs/Tp2804.h"
#include "sim/designs/W79e82iw.h"
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
    {"m27c160dip42", MakeM27c160Dip42},
    {"m27c322dip42", MakeM27c322Dip42},
    {"p51dip40", MakeP51Dip40},
    {"p51plcc44", MakeP51Plcc44},
    {"zor5103at51plcc44", MakeP51Plcc44},
    {"tp2804", MakeTp2804},
    {"tp2804p44", MakeTp2804},
    {"testpin", MakeTestPin},
    {"ictest", MakeIcTest},
    {"atf22v10b", MakeAtf22v10b},
    {"jtag2", MakeJtag2},
    {"jtag95p44to44", MakeJtag95p44to44},
    {"jtag95p44to40", MakeJtag95p44to40},
    {"jtagC8051f32pin", MakeJtagC8051f32pin},
    {"jtagM4a5P44to44", MakeJtagM4a5P44to44},
    {"w79e2051dip20", MakeW79e2051Dip20},
    {"w79e82xp20", MakeW79e82xP20},
    {"w79e225p44", MakeW79e225P44},
    {"w79e82iw20", MakeW79e82iw20},
    {"stc12c5xdip28", MakeStc12c5xDip28},
    {"sm59r16a2isp", MakeSm59r16a2Isp},
    {"i2c24c", MakeI2c24c},
    {"i2c24isp", MakeI2c24isp},
    {"at25spi", MakeAt25spi},
    {"at25isp", MakeAt25isp},
    {"p93cxxx", MakeP93cxxx},
    {"x5045dip08", MakeX5045Dip08},
    {"x5045dip14", MakeX5045Dip14},
    {"ak6420std", MakeAk6420Std},
    {"ak6420af", MakeAk6420Af},
    {"ak6420af6300", MakeAk6420Af6300},
    {"atmega8dip28", MakeAtmega8Dip28},
    {"at90s8515dip40", MakeAt90s8515Dip40},
    {"at90s8535dip40std", MakeAt90s8535Dip40Std},
    {"at90s8535dip40", MakeAt90s8535Dip40},
    {"at90s8535plcc44", MakeAt90s8535Plcc44},
    {"at90s8515plcc44", MakeAt90s8515Plcc44},
    {"Atiny2313dip20", MakeAtiny2313Dip20},
    {"ATdip20spi", MakeAtdip20Spi},
    {"Atiny12", MakeAtiny12},
    {"Atiny15", MakeAtiny15},
    {"Atiny12std", MakeAtiny12Std},
    {"Atiny15std", MakeAtiny15Std},
    {"pic16dip40", MakePicDip40},
    {"pic16dip28", MakePicDip28},
    {"pic16dip18", MakePicDip18},
    {"pic16dip29", MakePicDip29},
    {"pic16dip14", MakePicDip14},
    {"pic16dip14std", MakePicDip14Std},
    {"pic16dip08", MakePicDip08},
    {"pic10fdip08", MakePic10fDip08},
    {"pic16c54dip18", MakePic16c54Dip18},
    {"pic16c57dip28", MakePic16c57Dip28},
    {"pic16dip40c", MakePicDip40c},
    {"pic16dip28c", MakePicDip28c},
    {"pic16dip18c", MakePicDip18c},
    {"pic17dip40", MakePic17Dip40},
    {"pic17dip40std", MakePic17Dip40Std},
    {"pic18dip40", MakePic18Dip40},
    {"pic18dip28", MakePic18Dip28},
    {"pic18f2331dip28", MakePic18f2331Dip28},
    {"pic18dip18", MakePic18Dip18},
    {"pic18plcc44", MakePic18Plcc44},
    {"pic18qfp44", MakePic18Qfp44},
    {"pic18tqfp44", MakePic18Tqfp44},
    {"pic18isp", MakePic18Isp},
    {"pic30dip40", MakePic30Dip40},
    {"pic30dip28", MakePic30Dip28},
    {"mdt2000", MakeMdt2000},
    {"mdt10p73", MakeMdt10p73},
    {"mdt10p40pin", MakeMdt10p40Pin},
    {"mdt10p18pin", MakeMdt10p18Pin},
    {"mdt10p14_18std", MakeMdt10p14Std},
    {"mdt10p8pin", MakeMdt10p8Pin},
    {"em78p156", MakeEm78p156},
    {"em78p447", MakeEm78p447},
    {"em78p458", MakeEm78p458},
    {"em78p451", MakeEm78p451},
    {"p89lpc932", MakeP89lpc932},
    {"p89lpc932p28", MakeP89lpc932P28},
    {"lpc901", MakeLpc901},
    {"lp76x", MakeLp76x},
    {"lp76xp16", MakeLp76xP16},
    {"lp76xp20", MakeLp76xP20},
    {"i82802", MakeI82802},
    {"tsop48p29", MakeP29F640Tsop48},
    {"tsop29cmd2aa", MakeHn29Tsop48Unlock555},
    {"tsop29cmd2aaa", MakeHn29Tsop48Unlock5555},
    {"sst39xx040dip32", MakeP29F640Dip32},
    {"p28f001bxdip32", MakeF640Dip32},
    {"mx1611sop44", MakeMx1611Sop44},
};
}  // namespace

std::unique_ptr<Design> MakeDesign(std::string_view tag) {
  for (const auto& [t, make] : kDesigns) {
    if (make && t == tag) return make();
  }
  if (auto d = MakeSmallOtp(tag)) return d;
  return nullptr;
}

}  // namespace zelvar::sim
