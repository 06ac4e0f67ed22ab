#pragma once
// What the three programmable-logic windows hold, without the windows: the small-PLD fuse map's
// geometry (the fuses themselves live in CodeBuffer, one '0'/'1' character a fuse), the large-PLD
// JEDEC text and the SVF text. The sets and the buffer files work on these; the Qt windows only
// show them. A document "exists" from its window's first use, as the sets and the project file
// test.
#include <string>
#include <vector>

namespace zelvar {

struct FuseMapDocument {
  bool exists = false;
  bool readOnly = false;
  int rowLength = 32;  // fuses a row (a JEDEC line), the chip's row-address count
  int rowCount = 64;   // rows of the AND array; six more rows hold the other fuses
  int fuseCount = 0;   // fuses the map holds (the writer writes as many)
  // True once a JEDEC file was read into the map or the chip was read: a write needs one.
  bool loaded = false;
  std::string caption;

  // What the last JEDEC file read declared: its QF fuse count (0 when it had none) and its C fuse
  // checksum (-1 when it had none).
  int fileFuses = 0;
  int fileChecksum = -1;

  int MapFuses() const { return (rowCount + 6) * rowLength; }
  int ArrayFuses() const { return rowCount * rowLength; }
  // The part's own fuses, the count a JEDEC file's QF field and C checksum cover: the AND array and
  // the architecture fuses behind it (GAL16V8/20V8: XOR, signature, AC1, PTD, SYN, AC0, 146 fuses;
  // 22V10: the macrocells' S0/S1 and the signature, 84). The map's six rows have room to spare.
  int DeviceFuses() const {
    if (rowLength == 32 || rowLength == 40) return ArrayFuses() + 146;
    if (rowLength == 44) return ArrayFuses() + 84;
    return MapFuses();
  }
};

struct JedecTextDocument {
  bool exists = false;
  std::vector<std::string> lines;
  int firstFuseLine = 0;  // index of the first "L0000" line, set by ReadJedecText
  int blanks = 0;         // blanks in that line
  std::string result;     // "Lines:%d,Len:%04X,Sum:%04X" of the last unpacking
  int selectedLine = 0;   // a line a set points at (counted from 1; 0 none), such as a mismatch
  std::string caption;
};

struct SvfTextDocument {
  bool exists = false;
  std::vector<std::string> lines;
  std::string caption;
};

struct PldDocuments {
  FuseMapDocument fuse;
  JedecTextDocument jedec;
  SvfTextDocument svf;
  void Reset() { *this = PldDocuments{}; }
};

extern PldDocuments gPld;

}  // namespace zelvar
