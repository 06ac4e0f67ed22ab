#pragma once
// The readers of Intel HEX, Motorola S-record and plain image files into the chip buffer, and
// the Intel HEX and image writers. The parsers work on text in memory and a target span so that
// tests and the benchmark drive them without files; the Read*/Write* routines are the program's.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelvar {

enum class ParseStatus { Ok, BadFormat, TooBig };

struct ParseResult {
  ParseStatus status = ParseStatus::Ok;
  int line = 0;               // the line of the record that stopped the read
  std::int64_t highest = -1;  // highest index written, -1 when none
  // Indices whose writing is noted (-1 none), and whether a record wrote each.
  std::array<std::int64_t, 2> watch{-1, -1};
  std::array<bool, 2> watched{};
};

// A read that arrives in pieces of whole lines (the last piece may end without one).
struct RecordReader {
  ParseResult result;
  bool done = false;  // an end record, a bad record or a full buffer stopped the read
  int line = 1;
  bool lineStart = true;
  std::int64_t linear = 0;  // Intel HEX bases
  std::int64_t segment = 0;
  int records = 0;  // records met, good or bad: a file with none is not of the format
};

// Intel HEX: every record's checksum is verified and a record ends at its line end. Data records
// (type 0) are stored at offset + linear base + segment base + address; types 2 and 4 set the
// bases, types 3 and 5 (start addresses) are taken and ignored, type 1 or a length of 0 ends the
// file. A bad record stops the read; what was stored before it stays.
void ParseIntelHex(std::string_view lines, std::span<std::uint8_t> buffer, std::int64_t offset,
                   RecordReader& reader);
ParseResult ParseIntelHex(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset);

// Motorola S-record: S1, S2 and S3 data records are stored at offset + address; S0, S5 and S6
// are checked and skipped; S7, S8 and S9 end the file.
void ParseSRecords(std::string_view lines, std::span<std::uint8_t> buffer, std::int64_t offset,
                   RecordReader& reader);
ParseResult ParseSRecords(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset);

// A plain image: byte n of the file is taken when (n & (laneMask & 3)) == (lanePhase & 3); taken
// bytes go to consecutive indices from offset. TooBig when a taken byte does not fit.
struct ImagePlacer {
  ParseResult result;
  bool done = false;
  std::int64_t position = 0;  // file bytes seen
  std::int64_t taken = 0;     // bytes stored
};
void PlaceImage(std::string_view data, std::span<std::uint8_t> buffer, std::int64_t offset,
                int laneMask, int lanePhase, ImagePlacer& placer);
ParseResult PlaceImage(std::string_view data, std::span<std::uint8_t> buffer, std::int64_t offset,
                       int laneMask, int lanePhase);

// A file read in pieces of whole lines, so that a large file needs no copy of itself in memory.
class FileLines {
 public:
  explicit FileLines(const std::string& path);
  ~FileLines();
  FileLines(const FileLines&) = delete;
  FileLines& operator=(const FileLines&) = delete;
  bool ok() const { return fd_ >= 0; }
  // The next piece: whole lines, or the rest of the file at its end, or a full block when a line
  // is longer than a block. Empty at the end of the file.
  std::string_view Next(bool wholeLines = true);

 private:
  int fd_ = -1;
  std::vector<char> block_;
  std::size_t carryBegin_ = 0;
  std::size_t carryEnd_ = 0;
  bool eof_ = false;
};

// The Intel HEX text of data[0..last]: 32-byte records, a type-4 record before every 64 KiB above
// the first, lines ending in CR LF, and ":00000001FF" with no line end. The text goes to `sink`
// in pieces of at most 64 KiB; `sink` returns false to stop.
bool WriteHexRecords(std::span<const std::uint8_t> data, std::int64_t last,
                     const std::function<bool(std::string_view)>& sink);
void WriteHexRecords(std::string& out, std::span<const std::uint8_t> data, std::int64_t last);

// The program's readers: `gApp.DataFileName` into `gApp.CodeBuffer` with the fill mode, the load
// offset and the messages; they set `LoadedLastAddress` and redraw the buffer view. False when
// the file could not be opened (the buffer is then unchanged) or was not read whole (bad format,
// too big: what was stored before the fault stays, and the caller decides whether to keep it).
// A HEX or S-record file without a single record of its format is "bad format!": a text file
// given the wrong name must not load as an empty image.
bool ReadIntelHexFile();
bool ReadSRecordFile();
// The next HEX or S-record reads note whether their records write buffer indices `indices` (-1
// none); LoadWatchHit(k) tells, for index k, whether the last such read wrote it. A chip's
// configuration words stand in its file as data there.
void SetLoadWatch(std::array<std::int64_t, 2> indices);
bool LoadWatchHit(int k);
bool ReadBinaryFile(int laneMask, int lanePhase);

// The writers: `CodeBuffer` 0 .. `CodeLastAddress` to `gApp.DataFileName`. A file that cannot be
// written gives a message and false.
bool WriteIntelHexFile();
bool WriteBinaryFile();

}  // namespace zelvar
