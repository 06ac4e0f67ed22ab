#include "app/core/catalogue/AlgorithmKeys.h"

namespace zelvar {

const std::array<std::string_view, kAlgorithmKeyCount> kAlgorithmKeys = {
    "P27",         "PW27",        "ATMEGA48",   "AT89C51RD2", "T89C51RC2",   "T89C51RD2",
    "PIC16F882",   "ATMEGA162",   "ATMEGA161",  "ATMEGA163",  "ATMEGAX",     "ATTINY1",
    "AT90S2323HI", "ATTINY28",    "ATTINY2",    "ATTINY2313", "AT90S",       "AT90S2333",
    "AT90S8515",   "AT90S8535",   "AT90S8515S", "P89C51",     "P89C5WD",     "AT89S5X",
    "AT89S8253",   "AT89X8252",   "P2051",      "PIC16F",     "PIC16F5X",    "P16F7X",
    "PIC1687XA",   "P12C508",     "P16CXXX",    "PIC16FEE",   "P16C505",     "P16C54",
    "P16C57",      "P16C61",      "PIC16F5XX",  "P12F508",    "PIC12F6XX",   "PIC12F",
    "P16F628A",    "PIC16F630",   "P18F4XXX",   "P18FXX2",    "PIC30F",      "P17C4X",
    "P18CXXX",     "CR80PX00",    "PHI8758",    "PHI89RX2",   "P89C51RX2XX", "PHI89NEW",
    "P89V51RD2",   "P89LPC932",   "LPC901",     "PHI87LP",    "PHI87591",    "SM59064",
    "SM59128",     "SM59D04",     "SM894051",   "SM8951",     "SM89516",     "MSU2964",
    "MSU2958",     "SM59ISP",     "SST89E564",  "SST89E554",  "SST89C5X",    "W79E2051",
    "W79E82X",     "W78E516",     "W7851",      "W79E225",    "W79E82ISP",   "STC89",
    "STC12CX",     "STC516X2",    "MDT2000",    "MDT2051",    "MDT10P7X",    "MDT10P8PIN",
    "DS87C520",    "DS89C4X0",    "EMC78P156E", "EMC78P447",  "EMC78P451",   "EMC78P458",
    "SN8P1602",    "SN8P2602",    "HTOTP",      "SAMSUNG3X",  "IS89C52",     "P97C2051",
    "TP2804",      "TP2808",      "V87C58",     "P29F640",    "F640",        "AT49F",
    "AMD29f040",   "MX29F",       "P2816",      "PI28F",      "PI28F001",    "SST27SF",
    "SST28VF040",  "SST29XF",     "SST49LF008", "SST29EE",    "AT28CX",      "AT28C256",
    "AT29CX",      "AT29C256",    "P29F",       "V29C51004",  "HN29AND",     "I82802",
    "MX29X161X",   "I27CX",       "ACTRANS25",  "AT25SPI",    "AK64SCI",     "P93",
    "P93X16",      "ST93S",       "BR90",       "P24",        "P24C411",     "P93C411",
    "P93C411X16",  "X5045",       "GAL3M",      "P22V10",     "DSRAM",       "TESTRAM",
    "XC95X",       "LATTICEJTAG", "C8051JTAG",
};

int AlgorithmKeyIndex(std::string_view key) {
  for (int i = 0; i < kAlgorithmKeyCount; ++i) {
    if (kAlgorithmKeys[i] == key) return i;
  }
  return -1;
}

std::string_view AlgorithmSetName(std::string_view key) {
  return key == "TESTRAM" ? std::string_view("DSRAM") : key;
}

}  // namespace zelvar
