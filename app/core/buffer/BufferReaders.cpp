#include "app/core/buffer/BufferReaders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/core/buffer/BufferUi.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {
namespace {

// Digit values for the record parsers: 0..15, or 0xFF for anything else.
constexpr std::array<std::uint8_t, 256> kDigit = [] {
  std::array<std::uint8_t, 256> t{};
  t.fill(0xFF);
  for (int c = 0; c < 10; ++c) t['0' + c] = static_cast<std::uint8_t>(c);
  for (int c = 0; c < 6; ++c) {
    t['A' + c] = static_cast<std::uint8_t>(10 + c);
    t['a' + c] = static_cast<std::uint8_t>(10 + c);
  }
  return t;
}();

inline bool IsLineEnd(char c) {
  return static_cast<unsigned char>(c) < 0x20 && c != '\t';
}

// Decodes the hexadecimal pairs of one record from text[i] to its line end into `bytes`. Blanks
// may trail the record; anything else, an odd digit or more than `bytes` holds is a bad record.
// Returns the byte count, or -1; `i` ends at the line end.
int DecodeRecord(std::string_view text, std::size_t& i, std::uint8_t* bytes, int capacity) {
  int n = 0;
  const std::size_t size = text.size();
  while (i + 1 < size) {
    const std::uint8_t h = kDigit[static_cast<unsigned char>(text[i])];
    const std::uint8_t l = kDigit[static_cast<unsigned char>(text[i + 1])];
    if ((h | l) > 15) break;
    if (n == capacity) return -1;
    bytes[n++] = static_cast<std::uint8_t>(h << 4 | l);
    i += 2;
  }
  while (i < size && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < size && !IsLineEnd(text[i])) return -1;
  return n;
}

// Stores `count` bytes at `index`; TooBig (after storing what fits) when they leave the buffer.
ParseStatus Store(std::span<std::uint8_t> buffer, std::int64_t index, const std::uint8_t* data,
                  int count, ParseResult& r) {
  if (count <= 0) return ParseStatus::Ok;
  const auto size = static_cast<std::int64_t>(buffer.size());
  if (index < 0 || index >= size) return ParseStatus::TooBig;
  const std::int64_t fits = std::min<std::int64_t>(count, size - index);
  std::memcpy(buffer.data() + index, data, static_cast<std::size_t>(fits));
  r.highest = std::max(r.highest, index + fits - 1);
  for (std::size_t k = 0; k < r.watch.size(); ++k) {
    if (r.watch[k] >= index && r.watch[k] < index + fits) r.watched[k] = true;
  }
  return fits == count ? ParseStatus::Ok : ParseStatus::TooBig;
}

// Walks the records of a line-oriented text: `handle` gets each line that starts with `mark` (at
// the start of the text or after a line end) and the index just after the mark; it returns false
// to stop. Other lines are skipped. The position carries over from piece to piece in `reader`.
template <typename Handle>
void ForEachRecord(std::string_view text, char mark, RecordReader& reader, Handle handle) {
  std::size_t i = 0;
  const std::size_t size = text.size();
  while (i < size && !reader.done) {
    const char c = text[i];
    if (c == mark && reader.lineStart) {
      reader.result.line = reader.line;
      ++reader.records;
      ++i;
      if (!handle(i)) reader.done = true;
      reader.lineStart = false;
      continue;
    }
    if (c == '\n') ++reader.line;
    reader.lineStart = IsLineEnd(c);
    ++i;
  }
}

void ApplyFillMode() {
  if (gApp.FillMode == 1) std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end(), 0x00);
  if (gApp.FillMode == 2) std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end(), 0xFF);
}

void ReportParse(const ParseResult& r) {
  if (r.status == ParseStatus::TooBig) ShowMessageText("Too big file! *文件太大!");
  if (r.status == ParseStatus::BadFormat)
    ShowMessageText(r.line > 0 ? "bad format! line " + std::to_string(r.line) : "bad format!");
}

std::int32_t HighestOrZero(const ParseResult& r) {
  return r.highest < 0 ? 0 : static_cast<std::int32_t>(r.highest);
}

}  // namespace

void ParseIntelHex(std::string_view text, std::span<std::uint8_t> buffer, std::int64_t offset,
                   RecordReader& reader) {
  ParseResult& r = reader.result;
  std::int64_t& linear = reader.linear;
  std::int64_t& segment = reader.segment;
  std::uint8_t rec[260];
  ForEachRecord(text, ':', reader, [&](std::size_t& i) {
    const int n = DecodeRecord(text, i, rec, static_cast<int>(sizeof rec));
    std::uint8_t sum = 0;
    for (int k = 0; k < n; ++k) sum = static_cast<std::uint8_t>(sum + rec[k]);
    if (n < 5 || n != rec[0] + 5 || sum != 0) {
      r.status = ParseStatus::BadFormat;
      return false;
    }
    const int length = rec[0];
    const int address = rec[1] << 8 | rec[2];
    const int type = rec[3];
    if (length == 0 || type == 1) return false;
    const std::uint8_t* data = rec + 4;
    switch (type) {
      case 0:
        r.status = Store(buffer, offset + linear + segment + address, data, length, r);
        return r.status == ParseStatus::Ok;
      case 2:
      case 4:
        if (length != 2) break;
        if (type == 2) segment = (data[0] << 8 | data[1]) * 16;
        if (type == 4) linear = static_cast<std::int64_t>(data[0] << 8 | data[1]) << 16;
        return true;
      case 3:
      case 5:
        if (length == 4) return true;  // start address: nothing to store
        break;
      default:
        break;
    }
    r.status = ParseStatus::BadFormat;
    return false;
  });
}

namespace {

using PieceParser = void (*)(std::string_view, std::span<std::uint8_t>, std::int64_t,
                             RecordReader&);

ParseResult ParseWhole(PieceParser parse, std::string_view text, std::span<std::uint8_t> buffer,
                       std::int64_t offset) {
  RecordReader reader;
  parse(text, buffer, offset, reader);
  return reader.result;
}

}  // namespace

ParseResult ParseIntelHex(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset) {
  return ParseWhole(ParseIntelHex, text, buffer, offset);
}

void ParseSRecords(std::string_view text, std::span<std::uint8_t> buffer, std::int64_t offset,
                   RecordReader& reader) {
  // Address bytes of S0 .. S9; 0 marks the type that does not exist.
  static constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};
  ParseResult& r = reader.result;
  std::uint8_t rec[256];
  ForEachRecord(text, 'S', reader, [&](std::size_t& i) {
    const int type = i < text.size() ? text[i] - '0' : -1;
    int n = -1;
    if (type >= 0 && type <= 9 && kAddressBytes[type] != 0) {
      ++i;
      n = DecodeRecord(text, i, rec, static_cast<int>(sizeof rec));
    }
    std::uint8_t sum = 0;
    for (int k = 0; k < n; ++k) sum = static_cast<std::uint8_t>(sum + rec[k]);
    const int addressBytes = n > 0 ? kAddressBytes[type] : 0;
    if (n < 1 || n != rec[0] + 1 || sum != 0xFF || rec[0] < addressBytes + 1) {
      r.status = ParseStatus::BadFormat;
      return false;
    }
    if (type >= 7) return false;
    if (type < 1 || type > 3) return true;
    std::int64_t address = 0;
    for (int k = 0; k < addressBytes; ++k) address = address << 8 | rec[1 + k];
    r.status =
        Store(buffer, offset + address, rec + 1 + addressBytes, rec[0] - addressBytes - 1, r);
    return r.status == ParseStatus::Ok;
  });
}

ParseResult ParseSRecords(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset) {
  return ParseWhole(ParseSRecords, text, buffer, offset);
}

void PlaceImage(std::string_view data, std::span<std::uint8_t> buffer, std::int64_t offset,
                int laneMask, int lanePhase, ImagePlacer& placer) {
  if (placer.done) return;
  ParseResult& r = placer.result;
  const int mask = laneMask & 3;
  const int phase = lanePhase & 3;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
  const auto size = static_cast<std::int64_t>(buffer.size());
  if (mask == 0) {
    const std::int64_t index = offset + placer.taken;
    const auto count = static_cast<int>(std::min<std::size_t>(data.size(), buffer.size() + 1));
    r.status = Store(buffer, index, bytes, count, r);
    placer.taken += count;
  } else {
    for (std::size_t n = 0; n < data.size(); ++n) {
      if (((placer.position + static_cast<std::int64_t>(n)) & mask) != phase) continue;
      const std::int64_t index = offset + placer.taken;
      if (index < 0 || index >= size) {
        r.status = ParseStatus::TooBig;
        break;
      }
      buffer[static_cast<std::size_t>(index)] = bytes[n];
      r.highest = index;
      ++placer.taken;
    }
  }
  placer.position += static_cast<std::int64_t>(data.size());
  placer.done = r.status != ParseStatus::Ok;
}

ParseResult PlaceImage(std::string_view data, std::span<std::uint8_t> buffer, std::int64_t offset,
                       int laneMask, int lanePhase) {
  ImagePlacer placer;
  PlaceImage(data, buffer, offset, laneMask, lanePhase, placer);
  return placer.result;
}

bool WriteHexRecords(std::span<const std::uint8_t> data, std::int64_t last,
                     const std::function<bool(std::string_view)>& sink) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  last = std::min<std::int64_t>(last, static_cast<std::int64_t>(data.size()) - 1);
  // Records are built in a block that goes to the sink whenever it is nearly full, so a 16 MiB
  // image needs no 46 MB text in memory.
  static constexpr std::size_t kBlock = 64 * 1024;
  char block[kBlock];
  std::size_t used = 0;
  auto put = [&block, &used](unsigned v) {
    block[used++] = kHex[v >> 4 & 15];
    block[used++] = kHex[v & 15];
  };
  for (std::int64_t a = 0; a <= last; a += 32) {
    if (used > kBlock - 128) {
      if (!sink({block, used})) return false;
      used = 0;
    }
    if (a % 0x10000 == 0 && a >= 0x10000) {
      const unsigned h = static_cast<unsigned>(a >> 16);
      std::memcpy(block + used, ":02000004", 9);
      used += 9;
      put(h >> 8 & 0xFF);
      put(h & 0xFF);
      put((0x100 - ((2 + 4 + (h & 0xFF) + (h >> 8 & 0xFF)) & 0xFF)) & 0xFF);
      block[used++] = '\r';
      block[used++] = '\n';
    }
    const int n = last - a >= 32 ? 32 : static_cast<int>(last - a + 1);
    const unsigned lo = static_cast<unsigned>(a & 0xFFFF);
    block[used++] = ':';
    put(static_cast<unsigned>(n));
    put(lo >> 8);
    put(lo & 0xFF);
    put(0);
    unsigned sum = static_cast<unsigned>(n) + (lo >> 8) + (lo & 0xFF);
    const std::uint8_t* d = data.data() + a;
    for (int k = 0; k < n; ++k) {
      put(d[k]);
      sum += d[k];
    }
    put((0x100 - (sum & 0xFF)) & 0xFF);
    block[used++] = '\r';
    block[used++] = '\n';
  }
  std::memcpy(block + used, ":00000001FF", 11);
  used += 11;
  return sink({block, used});
}

void WriteHexRecords(std::string& out, std::span<const std::uint8_t> data, std::int64_t last) {
  out.clear();
  WriteHexRecords(data, last, [&out](std::string_view piece) {
    out.append(piece);
    return true;
  });
}

FileLines::FileLines(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  // Regular files only: a device or a pipe may never end.
  if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd_);
    fd_ = -1;
  }
  if (fd_ >= 0) block_.resize(1 << 20);
}

FileLines::~FileLines() {
  if (fd_ >= 0) ::close(fd_);
}

std::string_view FileLines::Next(bool wholeLines) {
  if (fd_ < 0) return {};
  const std::size_t carry = carryEnd_ - carryBegin_;
  std::memmove(block_.data(), block_.data() + carryBegin_, carry);
  std::size_t used = carry;
  while (!eof_ && used < block_.size()) {
    const ssize_t k = ::read(fd_, block_.data() + used, block_.size() - used);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) {
      eof_ = true;  // a read error ends the file like its end does
      break;
    }
    used += static_cast<std::size_t>(k);
  }
  std::size_t cut = used;
  if (wholeLines && !eof_) {
    // Cut after the last line end (LF, CR or any control character) so no record is split.
    std::size_t end = used;
    while (end > 0 && !IsLineEnd(block_[end - 1])) --end;
    if (end > 0) cut = end;
  }
  carryBegin_ = cut;
  carryEnd_ = used;
  return {block_.data(), cut};
}

namespace {

std::array<std::int64_t, 2> gLoadWatch{-1, -1};
std::array<bool, 2> gLoadWatchHit{};

// The shared frame of the two record readers.
bool ReadRecordFile(const char* openMessage, PieceParser parse) {
  gLoadWatchHit = {};
  FileLines file(gApp.DataFileName);
  if (!file.ok()) {
    ShowMessageText(openMessage);
    return false;
  }
  ApplyFillMode();
  RecordReader reader;
  reader.result.watch = gLoadWatch;
  for (auto piece = file.Next(); !piece.empty() && !reader.done; piece = file.Next())
    parse(piece, std::span<std::uint8_t>(gApp.CodeBuffer), gApp.LoadOffset, reader);
  ParseResult& r = reader.result;
  gLoadWatchHit = r.watched;
  if (reader.records == 0) {
    r.status = ParseStatus::BadFormat;
    r.line = 0;
  }
  ReportParse(r);
  gApp.LoadedLastAddress = HighestOrZero(r);
  gApp.ViewRange = {0, 4095};
  bufferUi().ShowBuffer();
  return r.status == ParseStatus::Ok;
}

bool WriteFileBytes(const std::string& path, const void* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool wrote = size == 0 || std::fwrite(data, 1, size, f) == size;
  return (std::fclose(f) == 0) && wrote;
}

bool WriteReport(bool ok) {
  if (!ok) ShowMessageText("Can not create the file! *不能创建文件!");
  return ok;
}

std::int64_t LastToWrite() {
  return std::min<std::int64_t>(gApp.CodeLastAddress, kCodeBufferSize - 1);
}

}  // namespace

void SetLoadWatch(std::array<std::int64_t, 2> indices) {
  gLoadWatch = indices;
}

bool LoadWatchHit(int k) {
  return k >= 0 && k < static_cast<int>(gLoadWatchHit.size()) &&
         gLoadWatchHit[static_cast<std::size_t>(k)];
}

bool ReadIntelHexFile() {
  return ReadRecordFile(
      "Can not open the file! *不能打开HEX文件!",
      static_cast<void (*)(std::string_view, std::span<std::uint8_t>, std::int64_t, RecordReader&)>(
          ParseIntelHex));
}

bool ReadSRecordFile() {
  return ReadRecordFile(
      "Can not open the file! *不能打开S文件!",
      static_cast<void (*)(std::string_view, std::span<std::uint8_t>, std::int64_t, RecordReader&)>(
          ParseSRecords));
}

bool ReadBinaryFile(int laneMask, int lanePhase) {
  FileLines file(gApp.DataFileName);
  if (!file.ok()) {
    ShowMessageText("Can not open the file! *不能打开Bin文件!");
    return false;
  }
  ApplyFillMode();
  ImagePlacer placer;
  for (auto piece = file.Next(false); !piece.empty() && !placer.done; piece = file.Next(false))
    PlaceImage(piece, gApp.CodeBuffer, gApp.LoadOffset, laneMask, lanePhase, placer);
  const ParseResult& r = placer.result;
  ReportParse(r);
  gApp.LoadedLastAddress =
      r.highest < 0 ? gApp.LoadOffset - 1 : static_cast<std::int32_t>(r.highest);
  gApp.ViewRange.start = 0;
  if (gApp.CodeLastAddress < 1) gApp.CodeLastAddress = gApp.LoadedLastAddress;
  bufferUi().ShowBuffer();
  return r.status == ParseStatus::Ok;
}

bool WriteIntelHexFile() {
  std::FILE* f = std::fopen(gApp.DataFileName.c_str(), "wb");
  if (!f) return WriteReport(false);
  const bool wrote = WriteHexRecords(gApp.CodeBuffer, LastToWrite(), [f](std::string_view piece) {
    return std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
  });
  return WriteReport((std::fclose(f) == 0) && wrote);
}

bool WriteBinaryFile() {
  const std::int64_t last = LastToWrite();
  const auto size = static_cast<std::size_t>(last < 0 ? 0 : last + 1);
  return WriteReport(WriteFileBytes(gApp.DataFileName, gApp.CodeBuffer.data(), size));
}

}  // namespace zelvar
