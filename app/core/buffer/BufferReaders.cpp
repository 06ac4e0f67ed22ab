#include "app/core/buffer/BufferReaders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "app/core/buffer/BufferUi.h"
#include "app/services/AppState.h"
#include "app/services/Messages.h"

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
  return fits == count ? ParseStatus::Ok : ParseStatus::TooBig;
}

// Walks the records of a line-oriented file: `handle` gets each line that starts with `mark`
// (at the start of the text or after a line end) and the index just after the mark; it returns
// false to stop. Other lines are skipped.
template <typename Handle>
void ForEachRecord(std::string_view text, char mark, ParseResult& r, Handle handle) {
  int line = 1;
  bool lineStart = true;
  std::size_t i = 0;
  const std::size_t size = text.size();
  while (i < size) {
    const char c = text[i];
    if (c == mark && lineStart) {
      r.line = line;
      ++i;
      if (!handle(i)) return;
      lineStart = false;
      continue;
    }
    if (c == '\n') ++line;
    lineStart = IsLineEnd(c);
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
    ShowMessageText("bad format! line " + std::to_string(r.line));
}

std::int32_t HighestOrZero(const ParseResult& r) {
  return r.highest < 0 ? 0 : static_cast<std::int32_t>(r.highest);
}

}  // namespace

ParseResult ParseIntelHex(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset) {
  ParseResult r;
  std::int64_t linear = 0;
  std::int64_t segment = 0;
  std::uint8_t rec[260];
  ForEachRecord(text, ':', r, [&](std::size_t& i) {
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
  return r;
}

ParseResult ParseSRecords(std::string_view text, std::span<std::uint8_t> buffer,
                          std::int64_t offset) {
  // Address bytes of S0 .. S9; 0 marks the type that does not exist.
  static constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};
  ParseResult r;
  std::uint8_t rec[256];
  ForEachRecord(text, 'S', r, [&](std::size_t& i) {
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
  return r;
}

ParseResult PlaceImage(std::string_view data, std::span<std::uint8_t> buffer, std::int64_t offset,
                       int laneMask, int lanePhase) {
  ParseResult r;
  const int mask = laneMask & 3;
  const int phase = lanePhase & 3;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
  if (mask == 0) {
    r.status = Store(buffer, offset, bytes,
                     static_cast<int>(std::min<std::size_t>(data.size(), buffer.size() + 1)), r);
    return r;
  }
  std::int64_t index = offset;
  const auto size = static_cast<std::int64_t>(buffer.size());
  for (std::size_t n = static_cast<std::size_t>(phase); n < data.size(); n += mask + 1) {
    if (index < 0 || index >= size) {
      r.status = ParseStatus::TooBig;
      break;
    }
    buffer[static_cast<std::size_t>(index)] = bytes[n];
    r.highest = index++;
  }
  return r;
}

void WriteHexRecords(std::string& out, std::span<const std::uint8_t> data, std::int64_t last) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  last = std::min<std::int64_t>(last, static_cast<std::int64_t>(data.size()) - 1);
  out.clear();
  if (last >= 0) out.reserve(static_cast<std::size_t>((last / 32 + 1) * 77 + (last >> 16) * 17));
  char line[96];
  auto put = [&line](int& p, unsigned v) {
    line[p++] = kHex[v >> 4 & 15];
    line[p++] = kHex[v & 15];
  };
  for (std::int64_t a = 0; a <= last; a += 32) {
    if (a % 0x10000 == 0 && a >= 0x10000) {
      const unsigned h = static_cast<unsigned>(a >> 16);
      int p = 0;
      std::memcpy(line, ":02000004", 9);
      p = 9;
      put(p, h >> 8 & 0xFF);
      put(p, h & 0xFF);
      put(p, (0x100 - ((2 + 4 + (h & 0xFF) + (h >> 8 & 0xFF)) & 0xFF)) & 0xFF);
      line[p++] = '\r';
      line[p++] = '\n';
      out.append(line, static_cast<std::size_t>(p));
    }
    const int n = last - a >= 32 ? 32 : static_cast<int>(last - a + 1);
    const unsigned lo = static_cast<unsigned>(a & 0xFFFF);
    int p = 0;
    line[p++] = ':';
    put(p, static_cast<unsigned>(n));
    put(p, lo >> 8);
    put(p, lo & 0xFF);
    put(p, 0);
    unsigned sum = static_cast<unsigned>(n) + (lo >> 8) + (lo & 0xFF);
    const std::uint8_t* d = data.data() + a;
    for (int k = 0; k < n; ++k) {
      put(p, d[k]);
      sum += d[k];
    }
    put(p, (0x100 - (sum & 0xFF)) & 0xFF);
    line[p++] = '\r';
    line[p++] = '\n';
    out.append(line, static_cast<std::size_t>(p));
  }
  out.append(":00000001FF");
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < out.size()) {
      const ssize_t k = ::read(fd, out.data() + got, out.size() - got);
      if (k < 0) {
        ok = false;
        break;
      }
      if (k == 0) break;
      got += static_cast<std::size_t>(k);
    }
    out.resize(got);
  }
  ::close(fd);
  return ok;
}

namespace {

// The shared frame of the two record readers.
template <typename Parse>
bool ReadRecordFile(const char* openMessage, Parse parse) {
  std::string text;
  if (!ReadWholeFile(gApp.DataFileName, text)) {
    ShowMessageText(openMessage);
    return false;
  }
  ApplyFillMode();
  const ParseResult r = parse(text, std::span<std::uint8_t>(gApp.CodeBuffer), gApp.LoadOffset);
  ReportParse(r);
  gApp.LoadedLastAddress = HighestOrZero(r);
  gApp.ViewRange = {0, 4095};
  bufferUi().ShowBuffer();
  return true;
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

bool ReadIntelHexFile() {
  return ReadRecordFile("Can not open the file! *不能打开HEX文件!", ParseIntelHex);
}

bool ReadSRecordFile() {
  return ReadRecordFile("Can not open the file! *不能打开S文件!", ParseSRecords);
}

bool ReadBinaryFile(int laneMask, int lanePhase) {
  std::string data;
  if (!ReadWholeFile(gApp.DataFileName, data)) {
    ShowMessageText("Can not open the file! *不能打开Bin文件!");
    return false;
  }
  ApplyFillMode();
  const ParseResult r = PlaceImage(data, std::span<std::uint8_t>(gApp.CodeBuffer), gApp.LoadOffset,
                                   laneMask, lanePhase);
  ReportParse(r);
  gApp.LoadedLastAddress =
      r.highest < 0 ? gApp.LoadOffset - 1 : static_cast<std::int32_t>(r.highest);
  gApp.ViewRange.start = 0;
  if (gApp.CodeLastAddress < 1) gApp.CodeLastAddress = gApp.LoadedLastAddress;
  bufferUi().ShowBuffer();
  return true;
}

bool WriteIntelHexFile() {
  std::string text;
  WriteHexRecords(text, gApp.CodeBuffer, LastToWrite());
  return WriteReport(WriteFileBytes(gApp.DataFileName, text.data(), text.size()));
}

bool WriteBinaryFile() {
  const std::int64_t last = LastToWrite();
  const auto size = static_cast<std::size_t>(last < 0 ? 0 : last + 1);
  return WriteReport(WriteFileBytes(gApp.DataFileName, gApp.CodeBuffer.data(), size));
}

}  // namespace zelvar
