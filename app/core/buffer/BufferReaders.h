#pragma once
// The readers of Intel HEX, Motorola S-record and plain image files into the chip buffer, and
// the Intel HEX and image writers. The parsers work on text in memory and a target span so that
// tests and the benchmark drive them without files; the Read*/Write* routines are the program's.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zelvar {

enum class ParseStatus { Ok, BadFormat, TooBig };

struct ParseResult {
  ParseStatus status = ParseStatus::Ok;
  int line = 0;               // the line of the record that stopped the read
  std::int64_t highest = -1;  // highest index written, -1 when none
};

// Intel HEX: every record's checksum is verified and a record ends at its line end. Data records
// (type 0) are stored at offset + linear base + segment base + address; types 2 and 4 set the
// bases, types 3 and 5 (start addresses) are taken and ignored, type 1 or a length of 0 ends the
// file. A bad record stops the read; what was stored before it stays.
ParseResult ParseIntelHex(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset);

// Motorola S-record: S1, S2 and S3 data records are stored at offset + address; S0, S5 and S6
// are checked and skipped; S7, S8 and S9 end the file.
ParseResult ParseSRecords(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset);

// A plain image: byte n of the file is taken when (n & (laneMask & 3)) == (lanePhase & 3); taken
// bytes go to consecutive indices from offset. TooBig when a taken byte does not fit.
ParseResult PlaceImage(std::string_view data, std::span<std::uint8_t> buffer, std::int64_t offset,
                       int laneMask, int lanePhase);

// The Intel HEX text of data[0..last]: 32-byte records, a type-4 record before every 64 KiB above
// the first, lines ending in CR LF, and ":00000001FF" with no line end.
void WriteHexRecords(std::string& out, std::span<const std::uint8_t> data, std::int64_t last);

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

// The program's readers: `gApp.DataFileName` into `gApp.CodeBuffer` with the fill mode, the load
// offset and the messages; they set `LoadedLastAddress` and redraw the buffer view. False when
// the file could not be opened (the buffer is then unchanged).
bool ReadIntelHexFile();
bool ReadSRecordFile();
bool ReadBinaryFile(int laneMask, int lanePhase);

// The writers: `CodeBuffer` 0 .. `CodeLastAddress` to `gApp.DataFileName`. A file that cannot be
// written gives a message and false.
bool WriteIntelHexFile();
bool WriteBinaryFile();

}  // namespace zelvar
