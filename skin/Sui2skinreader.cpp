#include "skin/Sui2skinreader.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <set>

namespace zelvar {
namespace {

std::uint16_t Le16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}
std::uint32_t Le32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
         static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}
// Whether `size` bytes from `offset` lie inside `total`, without overflow.
bool Within(std::uint64_t offset, std::uint64_t size, std::uint64_t total) {
  return offset <= total && size <= total - offset;
}

// ---- Inflate ----

constexpr int kMaxBits = 15;
constexpr std::uint32_t kNoCode = 0xFFFFFFFFu;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                     4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                     9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// A canonical Huffman code as a table of 2^longest entries indexed by the next bits (least
// significant first). An entry: symbol in bits 0-15, code length in 16-23, extra bits after the
// code in 24-31; all ones where no code reaches.
class THuffmanTree {
 public:
  // `extraBase`: symbols from it on take extra-bit counts from `extra`; -1 for none.
  bool Build(std::span<const std::uint8_t> lengths, int extraBase,
             std::span<const std::uint8_t> extra) {
    std::array<int, kMaxBits + 1> count{};
    longest_ = 0;
    for (std::uint8_t len : lengths) {
      if (len > kMaxBits) return false;
      ++count[len];
      longest_ = std::max<int>(longest_, len);
    }
    count[0] = 0;
    // An over-subscribed set of lengths is no prefix code.
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
      left = left * 2 - count[len];
      if (left < 0) return false;
    }
    std::array<std::uint32_t, kMaxBits + 2> next{};
    std::uint32_t code = 0;
    for (int len = 1; len <= kMaxBits; ++len) {
      code = (code + static_cast<std::uint32_t>(count[len - 1])) << 1;
      next[len] = code;
    }
    table_.assign(std::size_t{1} << longest_, kNoCode);
    for (std::size_t sym = 0; sym < lengths.size(); ++sym) {
      const int len = lengths[sym];
      if (len == 0) continue;
      std::uint32_t c = next[len]++;
      std::uint32_t reversed = 0;
      for (int i = 0; i < len; ++i, c >>= 1) reversed = reversed << 1 | (c & 1);
      std::uint32_t bits = 0;
      if (extraBase >= 0 && static_cast<int>(sym) >= extraBase &&
          sym - static_cast<std::size_t>(extraBase) < extra.size())
        bits = extra[sym - static_cast<std::size_t>(extraBase)];
      const std::uint32_t entry =
          static_cast<std::uint32_t>(sym) | static_cast<std::uint32_t>(len) << 16 | bits << 24;
      for (std::size_t at = reversed; at < table_.size(); at += std::size_t{1} << len)
        table_[at] = entry;
    }
    return true;
  }
  int Longest() const { return longest_; }
  std::uint32_t Entry(std::uint32_t bits) const {
    return table_[bits & ((std::uint32_t{1} << longest_) - 1)];
  }

 private:
  std::vector<std::uint32_t> table_;
  int longest_ = 0;
};

// The fixed trees, built once.
const THuffmanTree& FixedLiteralTree() {
  static const THuffmanTree tree = [] {
    std::array<std::uint8_t, 288> lengths{};
    for (int i = 0; i < 288; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    THuffmanTree t;
    t.Build(lengths, 257, kLengthExtra);
    return t;
  }();
  return tree;
}
const THuffmanTree& FixedDistanceTree() {
  static const THuffmanTree tree = [] {
    std::array<std::uint8_t, 32> lengths{};
    lengths.fill(5);
    THuffmanTree t;
    t.Build(lengths, 0, kDistExtra);
    return t;
  }();
  return tree;
}

// Bits least significant first. Past the end of the input it reads zero bytes, as the padding
// does, but consuming a bit that is not there is a damaged stream.
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> in) : in_(in) {}
  std::uint32_t Peek(int n) {
    while (count_ < n) {
      const std::uint64_t byte = pos_ < in_.size() ? in_[pos_] : 0;
      ++pos_;
      buffer_ |= byte << count_;
      count_ += 8;
    }
    return static_cast<std::uint32_t>(buffer_ & ((std::uint64_t{1} << n) - 1));
  }
  bool Drop(int n) {
    buffer_ >>= n;
    count_ -= n;
    return Good();
  }
  bool Read(int n, std::uint32_t& value) {
    value = n == 0 ? 0 : Peek(n);
    return n == 0 || Drop(n);
  }
  // Whether every consumed bit came from the input.
  bool Good() const { return (pos_ - static_cast<std::size_t>(count_ / 8)) <= in_.size(); }
  void AlignToByte() { Drop(count_ % 8); }
  std::size_t BytePosition() const { return pos_ - static_cast<std::size_t>(count_ / 8); }
  void SkipTo(std::size_t bytePos) {
    pos_ = bytePos;
    buffer_ = 0;
    count_ = 0;
  }

 private:
  std::span<const std::uint8_t> in_;
  std::size_t pos_ = 0;
  std::uint64_t buffer_ = 0;
  int count_ = 0;
};

bool Decode(BitReader& bits, const THuffmanTree& tree, std::uint32_t& symbol,
            std::uint32_t& extra) {
  if (tree.Longest() == 0) return false;
  const std::uint32_t entry = tree.Entry(bits.Peek(tree.Longest()));
  if (entry == kNoCode) return false;
  if (!bits.Drop(static_cast<int>(entry >> 16 & 0xFF))) return false;
  symbol = entry & 0xFFFF;
  return bits.Read(static_cast<int>(entry >> 24), extra);
}

bool InflateCodes(BitReader& bits, const THuffmanTree& literals, const THuffmanTree& distances,
                  std::vector<std::uint8_t>& out, std::size_t start, std::size_t limit) {
  for (;;) {
    std::uint32_t symbol = 0;
    std::uint32_t extra = 0;
    if (!Decode(bits, literals, symbol, extra)) return false;
    if (symbol < 256) {
      if (out.size() >= limit) return false;
      out.push_back(static_cast<std::uint8_t>(symbol));
      continue;
    }
    if (symbol == 256) return true;
    if (symbol > 285) return false;
    const std::size_t length = kLengthBase[symbol - 257] + extra;
    if (!Decode(bits, distances, symbol, extra) || symbol > 29) return false;
    const std::size_t distance = kDistBase[symbol] + extra;
    if (distance > 32768 || distance > out.size() - start) return false;
    if (length > limit - out.size()) return false;
    // Byte by byte: a length beyond its distance repeats the bytes it has just written.
    for (std::size_t i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
  }
}

bool InflateDynamic(BitReader& bits, std::vector<std::uint8_t>& out, std::size_t start,
                    std::size_t limit) {
  static constexpr std::array<int, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                 11, 4,  12, 3, 13, 2, 14, 1, 15};
  std::uint32_t hlit = 0, hdist = 0, hclen = 0;
  if (!bits.Read(5, hlit) || !bits.Read(5, hdist) || !bits.Read(4, hclen)) return false;
  hlit += 257;
  hdist += 1;
  hclen += 4;
  if (hlit > 286 || hdist > 30) return false;
  std::array<std::uint8_t, 19> codeLengths{};
  for (std::uint32_t i = 0; i < hclen; ++i) {
    std::uint32_t v = 0;
    if (!bits.Read(3, v)) return false;
    codeLengths[static_cast<std::size_t>(kOrder[i])] = static_cast<std::uint8_t>(v);
  }
  THuffmanTree lengthTree;
  if (!lengthTree.Build(codeLengths, -1, {})) return false;
  std::vector<std::uint8_t> lengths;
  lengths.reserve(hlit + hdist);
  while (lengths.size() < hlit + hdist) {
    std::uint32_t symbol = 0, unused = 0, repeat = 0;
    if (!Decode(bits, lengthTree, symbol, unused)) return false;
    std::uint8_t value = 0;
    if (symbol < 16) {
      lengths.push_back(static_cast<std::uint8_t>(symbol));
      continue;
    }
    if (symbol == 16) {
      if (lengths.empty() || !bits.Read(2, repeat)) return false;
      value = lengths.back();
      repeat += 3;
    } else if (symbol == 17) {
      if (!bits.Read(3, repeat)) return false;
      repeat += 3;
    } else {
      if (!bits.Read(7, repeat)) return false;
      repeat += 11;
    }
    if (lengths.size() + repeat > hlit + hdist) return false;
    lengths.insert(lengths.end(), repeat, value);
  }
  if (lengths[256] == 0) return false;  // no end-of-block code
  THuffmanTree literals;
  THuffmanTree distances;
  const std::span<const std::uint8_t> all(lengths);
  if (!literals.Build(all.first(hlit), 257, kLengthExtra)) return false;
  if (!distances.Build(all.subspan(hlit), 0, kDistExtra)) return false;
  return InflateCodes(bits, literals, distances, out, start, limit);
}

// ---- ZIP ----

class PkCrypt {
 public:
  explicit PkCrypt(const std::string& password) {
    for (char c : password) Update(static_cast<std::uint8_t>(c));
  }
  std::uint8_t Decrypt(std::uint8_t c) {
    const std::uint32_t t = (keys_[2] & 0xFFFF) | 2;
    const auto plain = static_cast<std::uint8_t>(c ^ ((t * (t ^ 1)) >> 8 & 0xFF));
    Update(plain);
    return plain;
  }

 private:
  static std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t b) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    return crc;
  }
  void Update(std::uint8_t c) {
    keys_[0] = CrcStep(keys_[0], c);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = CrcStep(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
  }
  std::array<std::uint32_t, 3> keys_ = {0x12345678u, 0x23456789u, 0x34567890u};
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// The chain of records in a member: each header 77 bytes.
constexpr std::size_t kRecordHeader = 77;
constexpr std::size_t kNameField = 64;

}  // namespace

bool InflateStream(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out,
                   std::size_t limit) {
  BitReader bits(in);
  const std::size_t start = out.size();
  // From here on `limit` bounds the whole of `out`.
  limit = limit > SIZE_MAX - start ? SIZE_MAX : start + limit;
  for (;;) {
    std::uint32_t final = 0, type = 0;
    if (!bits.Read(1, final) || !bits.Read(2, type)) return false;
    if (type == 0) {
      bits.AlignToByte();
      const std::size_t at = bits.BytePosition();
      if (!Within(at, 4, in.size())) return false;
      const std::uint16_t len = Le16(in, at);
      const std::uint16_t nlen = Le16(in, at + 2);
      if (static_cast<std::uint16_t>(~nlen) != len) return false;
      if (!Within(at + 4, len, in.size()) || len > limit - out.size()) return false;
      out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(at + 4),
                 in.begin() + static_cast<std::ptrdiff_t>(at + 4 + len));
      bits.SkipTo(at + 4 + len);
    } else if (type == 1) {
      if (!InflateCodes(bits, FixedLiteralTree(), FixedDistanceTree(), out, start, limit))
        return false;
    } else if (type == 2) {
      if (!InflateDynamic(bits, out, start, limit)) return false;
    } else {
      return false;
    }
    if (final) return bits.Good();
  }
}

std::uint32_t ZipCrc32(std::span<const std::uint8_t> data) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t b : data) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

ExtractResult ExtractMember(std::span<const std::uint8_t> archive, const std::string& member,
                            const std::string& password, std::vector<std::uint8_t>& out) {
  out.clear();
  constexpr std::size_t kEnd = 22;
  if (archive.size() < kEnd) return ExtractResult::Failed;
  const std::size_t endAt = archive.size() - kEnd;
  if (Le32(archive, endAt) != 0x06054b50u || Le16(archive, endAt + 20) != 0)
    return ExtractResult::Failed;
  const std::size_t entries = Le16(archive, endAt + 10);
  const std::uint32_t dirSize = Le32(archive, endAt + 12);
  const std::uint32_t dirAt = Le32(archive, endAt + 16);
  if (!Within(dirAt, dirSize, endAt)) return ExtractResult::Failed;
  const auto dir = archive.subspan(dirAt, dirSize);
  std::size_t at = 0;
  for (std::size_t i = 0; i < entries; ++i) {
    if (!Within(at, 46, dir.size()) || Le32(dir, at) != 0x02014b50u) return ExtractResult::Failed;
    const std::size_t nameLen = Le16(dir, at + 28);
    const std::size_t next = at + 46 + nameLen + Le16(dir, at + 30) + Le16(dir, at + 32);
    if (!Within(at + 46, nameLen, dir.size()) || next > dir.size()) return ExtractResult::Failed;
    const std::string_view name(reinterpret_cast<const char*>(dir.data()) + at + 46, nameLen);
    if (!SameName(name, member)) {
      at = next;
      continue;
    }
    const std::uint16_t flags = Le16(dir, at + 8);
    const std::uint16_t method = Le16(dir, at + 10);
    const std::uint16_t time = Le16(dir, at + 12);
    const std::uint32_t crc = Le32(dir, at + 16);
    const std::uint32_t packed = Le32(dir, at + 20);
    const std::uint32_t plain = Le32(dir, at + 24);
    const std::uint32_t local = Le32(dir, at + 42);
    if (!Within(local, 30, endAt) || Le32(archive, local) != 0x04034b50u)
      return ExtractResult::Failed;
    const std::uint64_t dataAt =
        std::uint64_t{local} + 30 + Le16(archive, local + 26) + Le16(archive, local + 28);
    if (!Within(dataAt, packed, endAt)) return ExtractResult::Failed;
    // The declared size is trusted only as far as the packed bytes and the cap allow.
    if (plain > kMaxSkinBytes ||
        (method == 8 && plain > std::uint64_t{packed} * kMaxDeflateRatio + 8))
      return ExtractResult::Failed;
    std::vector<std::uint8_t> data(archive.begin() + static_cast<std::ptrdiff_t>(dataAt),
                                   archive.begin() + static_cast<std::ptrdiff_t>(dataAt + packed));
    if (flags & 1) {
      // Traditional encryption: a 12-byte header whose last byte checks the password.
      if (data.size() < 12) return ExtractResult::Failed;
      PkCrypt keys(password);
      for (auto& b : data) b = keys.Decrypt(b);
      const auto check = static_cast<std::uint8_t>(flags & 8 ? time >> 8 : crc >> 24);
      if (data[11] != check) return ExtractResult::Failed;
      data.erase(data.begin(), data.begin() + 12);
    }
    if (method == 0) {
      out = std::move(data);
    } else if (method != 8 || !InflateStream(data, out, plain)) {
      out.clear();
      return ExtractResult::Failed;
    }
    if (out.size() != plain || ZipCrc32(out) != crc) {
      out.clear();
      return ExtractResult::Failed;
    }
    return ExtractResult::Extracted;
  }
  return ExtractResult::NotFound;
}

bool Tsk2SkinFileReader::CaseLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) <
           std::toupper(static_cast<unsigned char>(y));
  });
}

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::string& fileName, const std::string& password) {
  Load(fileName, password);
}

void Tsk2SkinFileReader::Load(const std::string& fileName, const std::string& password) {
  loaded_ = false;
  error_.clear();
  QFile file(QString::fromStdString(fileName));
  if (!file.open(QIODevice::ReadOnly)) {
    error_ = kSkinReadFailed;
    return;
  }
  // The whole file is read at once: one larger than any skin is refused unread.
  if (file.size() > static_cast<qint64>(kMaxSkinBytes)) {
    error_ = kSkinReadFailed;
    return;
  }
  const QByteArray bytes = file.readAll();
  const std::span<const std::uint8_t> archive(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              static_cast<std::size_t>(bytes.size()));
  std::vector<std::uint8_t> data;
  switch (ExtractMember(archive, kSkinMember, password, data)) {
    case ExtractResult::NotFound:
      return;
    case ExtractResult::Failed:
      error_ = kSkinReadFailed;
      return;
    case ExtractResult::Extracted:
      break;
  }
  if (!ReadRecords(data)) {
    error_ = kSkinReadFailed;
    return;
  }
  loaded_ = true;
}

bool Tsk2SkinFileReader::ReadRecords(std::span<const std::uint8_t> data) {
  bitmaps_.clear();
  integers_.clear();
  booleans_.clear();
  strings_.clear();
  // The file header: its length at bytes 12-15, the first record header's offset at 20-23.
  if (data.size() < 24) return false;
  const std::uint32_t headerLength = Le32(data, 12);
  if (headerLength < 24 || headerLength > data.size()) return false;
  std::uint32_t at = Le32(data, 20);
  std::set<std::uint32_t> seen;
  bool sound = true;
  // An offset of 0 names no record: a skin without records.
  while (at != 0) {
    // A chain that comes back to a header it read would never end.
    if (!Within(at, kRecordHeader, data.size()) || !seen.insert(at).second) {
      sound = false;
      break;
    }
    const auto header = data.subspan(at, kRecordHeader);
    const auto nameEnd = std::find(header.begin(), header.begin() + kNameField, 0);
    if (nameEnd == header.begin() + kNameField) {
      sound = false;
      break;
    }
    const std::string name(header.begin(), nameEnd);
    const std::uint8_t type = header[64];
    const std::uint32_t dataAt = Le32(header, 65);
    const std::uint32_t size = Le32(header, 69);
    if (!Within(dataAt, size, data.size())) {
      sound = false;
      break;
    }
    const auto value = data.subspan(dataAt, size);
    // Of two records with one name the first counts, as in a name=value list.
    switch (type) {
      case 0: {
        QImage image;
        if (!image.loadFromData(value.data(), static_cast<int>(value.size()), "BMP")) {
          sound = false;
          break;
        }
        bitmaps_.emplace(name, image);
        break;
      }
      case 1:
        if (size < 4)
          sound = false;
        else
          integers_.emplace(name, static_cast<std::int32_t>(Le32(value, 0)));
        break;
      case 2:
        if (size < 1)
          sound = false;
        else
          booleans_.emplace(name, value[0] != 0);
        break;
      case 3:
        strings_.emplace(name, std::string(value.begin(), value.end()));
        break;
      default:
        break;  // a type we do not know is skipped
    }
    if (!sound) break;
    // The header whose next offset is 0 is the last record; its data counts as every other's.
    at = Le32(header, 73);
  }
  if (!sound) {
    bitmaps_.clear();
    integers_.clear();
    booleans_.clear();
    strings_.clear();
  }
  return sound;
}

const QImage* Tsk2SkinFileReader::GetBitmap(const std::string& name) const {
  const auto it = bitmaps_.find(name);
  return it == bitmaps_.end() ? nullptr : &it->second;
}

int Tsk2SkinFileReader::GetInteger(const std::string& name) const {
  const auto it = integers_.find(name);
  return it == integers_.end() ? -1 : it->second;
}

bool Tsk2SkinFileReader::GetBool(const std::string& name) const {
  const auto it = booleans_.find(name);
  return it != booleans_.end() && it->second;
}

std::string Tsk2SkinFileReader::GetStr(const std::string& name) const {
  const auto it = strings_.find(name);
  return it == strings_.end() ? std::string() : it->second;
}

void Tsk2SkinFileReader::SetBitmap(const std::string& name, const QImage& bitmap) {
  const auto it = bitmaps_.find(name);
  if (it != bitmaps_.end()) it->second = bitmap;
}

void Tsk2SkinFileReader::SetInteger(const std::string& name, int value) {
  integers_[name] = value;
}

void Tsk2SkinFileReader::SetBool(const std::string& name, bool value) {
  booleans_[name] = value;
}

void Tsk2SkinFileReader::ProcessTransparentColor(const QColor& colour) {
  const QRgb mask = colour.rgb() & 0xFFFFFF;
  for (auto& [name, image] : bitmaps_) {
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
      for (int x = 0; x < argb.width(); ++x)
        if ((line[x] & 0xFFFFFF) == mask) line[x] = 0;
    }
    image = argb;
  }
}

}  // namespace zelvar
