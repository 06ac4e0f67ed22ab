#pragma once
// The two JEDEC text forms of the programmable-logic windows.
//
// Small PLDs: the fuse map in CodeBuffer, fuse n in byte n as the character '0' or '1'. The reader
// takes any JEDEC file (fields ended by '*': the design field, then L, F, C, Q, N, G, V ...); the
// writer writes a standard transfer of the part's fuses (QP, QF, one L field, the fuse checksum,
// STX/ETX and the transmission checksum).
//
// Large PLDs and JTAG parts: the JEDEC text itself, one fuse line a text line ("L000080 0101*"),
// unpacked into packed fuse bytes by lanes and written back from read-back rows.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "services/PldDocuments.h"

namespace zelvar {

inline constexpr std::string_view kJedecFormatError = "JEDEC file format error!*错误的文件格式!";
inline constexpr std::string_view kCanNotOpenFile = "Can not open the file!";
// Fuse numbers of a small PLD stay below this.
inline constexpr int kSmallPldFuseLimit = 65535;
// The large-PLD text: line length, fuses and packed bytes it can hold.
inline constexpr std::size_t kJedecLineMax = 1000;
inline constexpr std::size_t kJedecFusesMax = 512 * 1024;
inline constexpr std::size_t kJedecPackedMax = 65535;

// The standard JEDEC fuse checksum: fuses 0..count-1 taken eight at a time as bytes (fuse k in bit
// k % 8), summed into 16 bits. Only bit 0 of each map byte counts.
std::uint16_t JedecFuseChecksum(std::span<const std::uint8_t> map, int count);

// Reads JEDEC `text` into `map` (at least doc.MapFuses() bytes). Fuses stand only inside L fields;
// fuses no L field sets take the F field's default ('0' without one); reading ends at the C field
// or ETX. False (map and document unchanged) when a fuse lies beyond the map, an L number is
// malformed or QF declares more fuses than the map holds. On success doc.fuseCount is the highest
// fuse number reached, doc.fileFuses and doc.fileChecksum what QF and C declared, and doc.loaded
// is set.
bool ReadGalJedecText(std::string_view text, FuseMapDocument& doc, std::span<std::uint8_t> map);
// The file at `path`: an unreadable file says "Can not open the file!", a bad one "JEDEC file
// format error!"; both change nothing. A C field that the fuses do not sum to is logged.
bool ReadGalJedec(const std::string& path, FuseMapDocument& doc, std::span<std::uint8_t> map);

// The device line of the writer by the chip's row-address count ("" when unknown).
std::string GalDeviceLine(int rowLength);
// The JEDEC text of the map: STX, device line, design field, QP and QF, F0, one L field of the
// part's fuses (doc.DeviceFuses()) in lines of rowLength, the fuse checksum, ETX and the
// transmission checksum (the 16-bit sum of every character from STX to ETX).
std::string GalJedecText(const FuseMapDocument& doc, std::span<const std::uint8_t> map);
bool WriteGalJedec(const std::string& path, const FuseMapDocument& doc,
                   std::span<const std::uint8_t> map);

// The fuse window's lines: for each of rowCount + 6 rows "L%04d " and its fuses.
std::vector<std::string> FuseRowLines(const FuseMapDocument& doc,
                                      std::span<const std::uint8_t> map);
// Column of the first fuse in a fuse-row line.
inline constexpr int kFuseColumn = 6;
// The fuse under the caret, -1 when the caret is not on a fuse.
int FuseAtCaret(const FuseMapDocument& doc, int line, int column);

// Unpacks the JEDEC text into `out` by `lanes` (lane g takes fuse g of each group of `lanes`
// consecutive fuses, eight to a byte, LSB first; all bytes of lane 0, then lane 1 ...). Lines
// starting N (notes) or V (test vectors) are skipped; E, U or C ends the fuses. Returns the number
// of lines that gave fuses; 0 with a message when there is no "L0000" line or a limit is passed.
int ReadJedecText(JedecTextDocument& doc, std::span<std::uint8_t> out, int lanes);
// Replaces the text with `rows` rows of `rowLength` fuses read back (row r at byte
// r * ceil(rowLength / 8), fuse 0 in bit 0): one text line per fuse position across all rows.
void WriteJedecText(JedecTextDocument& doc, const std::uint8_t* data, int rowLength, int rows);

// A text file's lines without their line ends; none when it cannot be read.
std::optional<std::vector<std::string>> ReadTextFileLines(const std::string& path);
bool WriteTextFileLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace zelvar
