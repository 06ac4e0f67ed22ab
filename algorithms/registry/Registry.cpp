#include "algorithms/registry/Registry.h"

#include "algorithms/avr/AT90S.h"
#include "algorithms/avr/AT90S2323HI.h"
#include "algorithms/avr/AT90S2333.h"
#include "algorithms/avr/AT90S8515.h"
#include "algorithms/avr/AT90S8515S.h"
#include "algorithms/avr/AT90S8535.h"
#include "algorithms/avr/ATMEGA161.h"
#include "algorithms/avr/ATMEGA162.h"
#include "algorithms/avr/ATMEGA163.h"
#include "algorithms/avr/ATMEGA48.h"
#include "algorithms/avr/ATMEGAX.h"
#include "algorithms/avr/ATTINY1.h"
#include "algorithms/avr/ATTINY2.h"
#include "algorithms/avr/ATTINY2313.h"
#include "algorithms/avr/ATTINY28.h"
#include "algorithms/mcs51/AT89C51RD2.h"
#include "algorithms/mcs51/AT89S5X.h"
#include "algorithms/mcs51/AT89S8253.h"
#include "algorithms/mcs51/AT89X8252.h"
#include "algorithms/mcs51/DS87C520.h"
#include "algorithms/mcs51/DS89C4X0.h"
#include "algorithms/mcs51/IS89C52.h"
#include "algorithms/mcs51/LPC901.h"
#include "algorithms/mcs51/MSU2958.h"
#include "algorithms/mcs51/MSU2964.h"
#include "algorithms/mcs51/P2051.h"
#include "algorithms/mcs51/P89C51.h"
#include "algorithms/mcs51/P89C51RX2XX.h"
#include "algorithms/mcs51/P89C5WD.h"
#include "algorithms/mcs51/P89LPC932.h"
#include "algorithms/mcs51/P89V51RD2.h"
#include "algorithms/mcs51/P97C2051.h"
#include "algorithms/mcs51/PHI8758.h"
#include "algorithms/mcs51/PHI87591.h"
#include "algorithms/mcs51/PHI87LP.h"
#include "algorithms/mcs51/PHI89NEW.h"
#include "algorithms/mcs51/PHI89RX2.h"
#include "algorithms/mcs51/SM59064.h"
#include "algorithms/mcs51/SM59128.h"
#include "algorithms/mcs51/SM59D04.h"
#include "algorithms/mcs51/SM59ISP.h"
#include "algorithms/mcs51/SM894051.h"
#include "algorithms/mcs51/SM8951.h"
#include "algorithms/mcs51/SM89516.h"
#include "algorithms/mcs51/SST89C5X.h"
#include "algorithms/mcs51/SST89E554.h"
#include "algorithms/mcs51/SST89E564.h"
#include "algorithms/mcs51/STC12CX.h"
#include "algorithms/mcs51/STC516X2.h"
#include "algorithms/mcs51/STC89.h"
#include "algorithms/mcs51/T89C51RC2.h"
#include "algorithms/mcs51/T89C51RD2.h"
#include "algorithms/mcs51/TP2804.h"
#include "algorithms/mcs51/TP2808.h"
#include "algorithms/mcs51/V87C58.h"
#include "algorithms/mcs51/W7851.h"
#include "algorithms/mcs51/W78E516.h"
#include "algorithms/mcs51/W79E2051.h"
#include "algorithms/mcs51/W79E225.h"
#include "algorithms/mcs51/W79E82ISP.h"
#include "algorithms/mcs51/W79E82X.h"
#include "algorithms/memory/ACTRANS25.h"
#include "algorithms/memory/AK64SCI.h"
#include "algorithms/memory/AMD29f040.h"
#include "algorithms/memory/AT25SPI.h"
#include "algorithms/memory/AT28C256.h"
#include "algorithms/memory/AT28CX.h"
#include "algorithms/memory/AT29C256.h"
#include "algorithms/memory/AT29CX.h"
#include "algorithms/memory/AT49F.h"
#include "algorithms/memory/BR90.h"
#include "algorithms/memory/DSRAM.h"
#include "algorithms/memory/F640.h"
#include "algorithms/memory/GAL3M.h"
#include "algorithms/memory/HN29AND.h"
#include "algorithms/memory/I27CX.h"
#include "algorithms/memory/I82802.h"
#include "algorithms/memory/LATTICEJTAG.h"
#include "algorithms/memory/MX29F.h"
#include "algorithms/memory/MX29X161X.h"
#include "algorithms/memory/P22V10.h"
#include "algorithms/memory/P24.h"
#include "algorithms/memory/P24C411.h"
#include "algorithms/memory/P27.h"
#include "algorithms/memory/P2816.h"
#include "algorithms/memory/P29F.h"
#include "algorithms/memory/P29F640.h"
#include "algorithms/memory/P93.h"
#include "algorithms/memory/P93C411.h"
#include "algorithms/memory/PI28F.h"
#include "algorithms/memory/PI28F001.h"
#include "algorithms/memory/PW27.h"
#include "algorithms/memory/SST27SF.h"
#include "algorithms/memory/SST28VF040.h"
#include "algorithms/memory/SST29EE.h"
#include "algorithms/memory/SST29XF.h"
#include "algorithms/memory/SST49LF008.h"
#include "algorithms/memory/ST93S.h"
#include "algorithms/memory/V29C51004.h"
#include "algorithms/memory/X5045.h"
#include "algorithms/memory/XC95X.h"
#include "algorithms/pic/CR80PX00.h"
#include "algorithms/pic/EMC78P156E.h"
#include "algorithms/pic/EMC78P447.h"
#include "algorithms/pic/EMC78P451.h"
#include "algorithms/pic/EMC78P458.h"
#include "algorithms/pic/HTOTP.h"
#include "algorithms/pic/MDT10P7X.h"
#include "algorithms/pic/MDT10P8PIN.h"
#include "algorithms/pic/MDT2000.h"
#include "algorithms/pic/MDT2051.h"
#include "algorithms/pic/P12C508.h"
#include "algorithms/pic/P16C505.h"
#include "algorithms/pic/P16C54.h"
#include "algorithms/pic/P16C61.h"
#include "algorithms/pic/P16CXXX.h"
#include "algorithms/pic/P16F628A.h"
#include "algorithms/pic/P16F7X.h"
#include "algorithms/pic/P17C4X.h"
#include "algorithms/pic/P18CXXX.h"
#include "algorithms/pic/P18F4XXX.h"
#include "algorithms/pic/P18FXX2.h"
#include "algorithms/pic/PIC12F.h"
#include "algorithms/pic/PIC12F6XX.h"
#include "algorithms/pic/PIC1687XA.h"
#include "algorithms/pic/PIC16F.h"
#include "algorithms/pic/PIC16F5X.h"
#include "algorithms/pic/PIC16F5XX.h"
#include "algorithms/pic/PIC16F630.h"
#include "algorithms/pic/PIC16F882.h"
#include "algorithms/pic/PIC16FEE.h"
#include "algorithms/pic/PIC30F.h"
#include "algorithms/pic/SAMSUNG3X.h"
#include "algorithms/pic/SN8P1602.h"
#include "algorithms/pic/SN8P2602.h"

namespace zelvar {

namespace {

// The set's one object, made at its first call, and its dispatcher.
template <class Set>
std::uint8_t Dispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list) {
  static Set set;
  return set.Dispatch(op, buffer, record, list);
}

template <class Set>
std::string_view RowCaption(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= Set::kTypes.size()) return {};
  using Row = typename decltype(Set::kTypes)::value_type;
  const Row& t = Set::kTypes[static_cast<std::size_t>(row)];
  if constexpr (requires(const Row& r) { r.name; }) {
    return t.name;
  } else {
    return t.bitstream;
  }
}

template <class Set>
constexpr int FirstRow() {
  if constexpr (requires { Set::kFirstRow; }) {
    return Set::kFirstRow;
  } else {
    return 1;
  }
}

template <class Set>
void CheckTypes(TypeTableReport& r) {
  for (std::size_t i = FirstRow<Set>(); i < Set::kTypes.size(); ++i) {
    r.row = static_cast<int>(i);
    Set::CheckRow(Set::kTypes[i], r);
  }
}

// A set's registry row from its class: Set::kTypes (row 0 the placeholder), Set::CheckRow (its
// family's rules) and, when its lines need items, Set::kRequiredItems.
template <class Set>
constexpr AlgorithmSet Register(std::string_view key) {
  std::string_view items;
  if constexpr (requires { Set::kRequiredItems; }) items = Set::kRequiredItems;
  return {key,
          &Dispatch<Set>,
          static_cast<int>(Set::kTypes.size()) - 1,
          items,
          &RowCaption<Set>,
          &CheckTypes<Set>,
          FirstRow<Set>()};
}

// One row per built set: the one place a set is named. Families add their sets here.
constexpr AlgorithmSet kSets[] = {
    Register<memory::P27>("P27"),
    Register<memory::PW27>("PW27"),
    Register<memory::SST27SF>("SST27SF"),
    Register<memory::I27CX>("I27CX"),
    Register<mcs51::P89C51>("P89C51"),
    Register<mcs51::P89C5WD>("P89C5WD"),
    Register<mcs51::AT89S5X>("AT89S5X"),
    Register<mcs51::AT89S8253>("AT89S8253"),
    Register<mcs51::AT89X8252>("AT89X8252"),
    Register<mcs51::AT89C51RD2>("AT89C51RD2"),
    Register<mcs51::W79E2051>("W79E2051"),
    Register<mcs51::W79E82X>("W79E82X"),
    Register<mcs51::P89LPC932>("P89LPC932"),
    Register<mcs51::LPC901>("LPC901"),
    Register<mcs51::PHI87LP>("PHI87LP"),
    Register<mcs51::W79E225>("W79E225"),
    Register<mcs51::W79E82ISP>("W79E82ISP"),
    Register<mcs51::STC12CX>("STC12CX"),
    Register<mcs51::SM59ISP>("SM59ISP"),
    Register<mcs51::T89C51RD2>("T89C51RD2"),
    Register<mcs51::T89C51RC2>("T89C51RC2"),
    Register<mcs51::SM59064>("SM59064"),
    Register<mcs51::SM59128>("SM59128"),
    Register<mcs51::SM59D04>("SM59D04"),
    Register<mcs51::SM894051>("SM894051"),
    Register<mcs51::SM8951>("SM8951"),
    Register<mcs51::SM89516>("SM89516"),
    Register<mcs51::STC89>("STC89"),
    Register<mcs51::STC516X2>("STC516X2"),
    Register<mcs51::MSU2964>("MSU2964"),
    Register<mcs51::MSU2958>("MSU2958"),
    Register<mcs51::TP2804>("TP2804"),
    Register<mcs51::TP2808>("TP2808"),
    Register<mcs51::P2051>("P2051"),
    Register<mcs51::PHI8758>("PHI8758"),
    Register<mcs51::PHI87591>("PHI87591"),
    Register<mcs51::V87C58>("V87C58"),
    Register<mcs51::PHI89RX2>("PHI89RX2"),
    Register<mcs51::W78E516>("W78E516"),
    Register<mcs51::P89C51RX2XX>("P89C51RX2XX"),
    Register<mcs51::PHI89NEW>("PHI89NEW"),
    Register<mcs51::P89V51RD2>("P89V51RD2"),
    Register<mcs51::SST89E564>("SST89E564"),
    Register<mcs51::SST89E554>("SST89E554"),
    Register<mcs51::SST89C5X>("SST89C5X"),
    Register<mcs51::DS87C520>("DS87C520"),
    Register<mcs51::DS89C4X0>("DS89C4X0"),
    Register<mcs51::IS89C52>("IS89C52"),
    Register<mcs51::W7851>("W7851"),
    Register<mcs51::P97C2051>("P97C2051"),
    Register<avr::ATMEGA48>("ATMEGA48"),
    Register<avr::ATMEGA162>("ATMEGA162"),
    Register<avr::ATMEGA161>("ATMEGA161"),
    Register<avr::ATMEGA163>("ATMEGA163"),
    Register<avr::ATMEGAX>("ATMEGAX"),
    Register<avr::ATTINY1>("ATTINY1"),
    Register<avr::AT90S2323HI>("AT90S2323HI"),
    Register<avr::ATTINY2313>("ATTINY2313"),
    Register<avr::AT90S2333>("AT90S2333"),
    Register<avr::AT90S8515>("AT90S8515"),
    Register<avr::AT90S8535>("AT90S8535"),
    Register<avr::AT90S8515S>("AT90S8515S"),
    Register<avr::ATTINY2>("ATTINY2"),
    Register<avr::ATTINY28>("ATTINY28"),
    Register<avr::AT90S>("AT90S"),
    Register<memory::P29F>("P29F"),
    Register<memory::AMD29f040>("AMD29f040"),
    Register<memory::AT49F>("AT49F"),
    Register<memory::MX29F>("MX29F"),
    Register<memory::V29C51004>("V29C51004"),
    Register<memory::DSRAM>("DSRAM"),
    Register<memory::PI28F>("PI28F"),
    Register<memory::PI28F001>("PI28F001"),
    Register<memory::SST29XF>("SST29XF"),
    Register<memory::SST29EE>("SST29EE"),
    Register<memory::AT29CX>("AT29CX"),
    Register<memory::AT29C256>("AT29C256"),
    Register<memory::AT28CX>("AT28CX"),
    Register<memory::AT28C256>("AT28C256"),
    Register<memory::P2816>("P2816"),
    Register<memory::SST28VF040>("SST28VF040"),
    Register<memory::GAL3M>("GAL3M"),
    Register<memory::P22V10>("P22V10"),
    Register<memory::XC95X>("XC95X"),
    Register<memory::C8051JTAG>("C8051JTAG"),
    Register<memory::LATTICEJTAG>("LATTICEJTAG"),
    Register<memory::P24>("P24"),
    Register<memory::AT25SPI>("AT25SPI"),
    Register<memory::ACTRANS25>("ACTRANS25"),
    Register<memory::P93>("P93"),
    Register<memory::P93X16>("P93X16"),
    Register<memory::ST93S>("ST93S"),
    Register<memory::X5045>("X5045"),
    Register<memory::P24C411>("P24C411"),
    Register<memory::P93C411>("P93C411"),
    Register<memory::P93C411X16>("P93C411X16"),
    Register<memory::AK64SCI>("AK64SCI"),
    Register<memory::BR90>("BR90"),
    Register<pic::PIC16FEE>("PIC16FEE"),
    Register<pic::P16F7X>("P16F7X"),
    Register<pic::PIC16F>("PIC16F"),
    Register<pic::P16F628A>("P16F628A"),
    Register<pic::PIC16F630>("PIC16F630"),
    Register<pic::MDT2000>("MDT2000"),
    Register<pic::MDT2051>("MDT2051"),
    Register<pic::MDT10P7X>("MDT10P7X"),
    Register<pic::MDT10P8PIN>("MDT10P8PIN"),
    Register<pic::EMC78P156E>("EMC78P156E"),
    Register<pic::EMC78P447>("EMC78P447"),
    Register<pic::EMC78P451>("EMC78P451"),
    Register<pic::EMC78P458>("EMC78P458"),
    Register<pic::PIC16F882>("PIC16F882"),
    Register<pic::PIC16F5X>("PIC16F5X"),
    Register<pic::PIC16F5XX>("PIC16F5XX"),
    Register<pic::P12F508>("P12F508"),
    Register<pic::P16C505>("P16C505"),
    Register<pic::P12C508>("P12C508"),
    Register<pic::P16C54>("P16C54"),
    Register<pic::P16C57>("P16C57"),
    Register<pic::PIC1687XA>("PIC1687XA"),
    Register<pic::P16C61>("P16C61"),
    Register<pic::P16CXXX>("P16CXXX"),
    Register<pic::PIC12F6XX>("PIC12F6XX"),
    Register<pic::PIC12F>("PIC12F"),
    Register<pic::P18F4XXX>("P18F4XXX"),
    Register<pic::P18FXX2>("P18FXX2"),
    Register<pic::PIC30F>("PIC30F"),
    Register<pic::P18CXXX>("P18CXXX"),
    Register<pic::P17C4X>("P17C4X"),
    Register<memory::SST49LF008>("SST49LF008"),
    Register<memory::I82802>("I82802"),
    Register<memory::P29F640>("P29F640"),
    Register<memory::F640>("F640"),
    Register<memory::MX29X161X>("MX29X161X"),
    Register<memory::HN29AND>("HN29AND"),
    Register<pic::SN8P1602>("SN8P1602"),
    Register<pic::SN8P2602>("SN8P2602"),
    Register<pic::SAMSUNG3X>("SAMSUNG3X"),
    Register<pic::CR80PX00>("CR80PX00"),
    Register<pic::HTOTP>("HTOTP"),
};

}  // namespace

std::span<const AlgorithmSet> AlgorithmSets() {
  return kSets;
}

const AlgorithmSet* FindSet(std::string_view key) {
  for (const AlgorithmSet& s : kSets) {
    if (!s.key.empty() && s.key == key) return &s;
  }
  return nullptr;
}

AlgorithmDispatcher FindAlgorithmSet(std::string_view key) {
  const AlgorithmSet* s = FindSet(key);
  return s ? s->dispatch : nullptr;
}

SetCatalogueFacts CatalogueFacts(std::string_view key) {
  const AlgorithmSet* s = FindSet(key);
  return s ? SetCatalogueFacts{true, s->firstRow, s->typeRows, s->requiredItems}
           : SetCatalogueFacts{};
}

}  // namespace zelvar
