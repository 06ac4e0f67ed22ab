#pragma once
// Writes skin files: the record chain of "SKINDATA.SK2" and the one-member ZIP archive around it,
// compressed by zlib and, given a password, with traditional PKWARE encryption. The skin
// generator and the reader's tests share it; the program itself only reads skin files.
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace zelvar::skinfile {

enum RecordType : std::uint8_t { kBitmap = 0, kInteger = 1, kBoolean = 2, kString = 3 };

struct Record {
  std::string name;
  std::uint8_t type = kInteger;
  std::vector<std::uint8_t> data;
};

inline void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline Record IntegerRecord(const std::string& name, std::int32_t value) {
  Record r{name, kInteger, std::vector<std::uint8_t>(4)};
  Put32(r.data, 0, static_cast<std::uint32_t>(value));
  return r;
}
inline Record BoolRecord(const std::string& name, bool value) {
  return Record{name, kBoolean, {static_cast<std::uint8_t>(value ? 1 : 0)}};
}
inline Record StringRecord(const std::string& name, const std::string& text) {
  return Record{name, kString, std::vector<std::uint8_t>(text.begin(), text.end())};
}

// The member: a 24-byte file header (its length at 12, the first record header's offset at 20),
// then each record's 77-byte header followed by its data; the last header's next offset is 0.
inline std::vector<std::uint8_t> SkinData(const std::vector<Record>& records) {
  constexpr std::size_t kHeader = 24;
  std::vector<std::uint8_t> out(kHeader, 0);
  const std::string magic = "ZELVAR SKIN";
  std::copy(magic.begin(), magic.end(), out.begin());
  Put32(out, 12, kHeader);
  Put32(out, 20, records.empty() ? 0 : kHeader);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    const std::size_t at = out.size();
    out.resize(at + 77, 0);
    std::copy(
        r.name.begin(),
        r.name.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(r.name.size(), 63)),
        out.begin() + static_cast<std::ptrdiff_t>(at));
    out[at + 64] = r.type;
    Put32(out, at + 65, static_cast<std::uint32_t>(at + 77));
    Put32(out, at + 69, static_cast<std::uint32_t>(r.data.size()));
    out.insert(out.end(), r.data.begin(), r.data.end());
    Put32(out, at + 73, i + 1 < records.size() ? static_cast<std::uint32_t>(out.size()) : 0);
  }
  return out;
}

// Raw Deflate by zlib: level 0 stored blocks; `strategy` Z_FIXED for fixed trees,
// Z_DEFAULT_STRATEGY for dynamic ones.
inline std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& in, int level,
                                         int strategy = Z_DEFAULT_STRATEGY) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) return {};
  std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(in.size())) + 16);
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return rc == Z_STREAM_END ? out : std::vector<std::uint8_t>{};
}

class PkEncrypt {
 public:
  explicit PkEncrypt(const std::string& password) {
    for (char c : password) Update(static_cast<std::uint8_t>(c));
  }
  std::uint8_t operator()(std::uint8_t plain) {
    const std::uint32_t t = (keys_[2] & 0xFFFF) | 2;
    const auto c = static_cast<std::uint8_t>(plain ^ ((t * (t ^ 1)) >> 8 & 0xFF));
    Update(plain);
    return c;
  }

 private:
  static std::uint32_t Crc(std::uint32_t crc, std::uint8_t b) {
    return static_cast<std::uint32_t>(crc32(~crc & 0xFFFFFFFFu, &b, 1)) ^ 0xFFFFFFFFu;
  }
  void Update(std::uint8_t c) {
    keys_[0] = Crc(keys_[0], c);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = Crc(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
  }
  std::array<std::uint32_t, 3> keys_ = {0x12345678u, 0x23456789u, 0x34567890u};
};

// Grows `out` and copies into it: GCC 12 at -O3 reports a false -Warray-bounds on
// vector::insert at the end of a vector whose size it believes fixed.
inline void Append(std::vector<std::uint8_t>& out, const void* from, std::size_t n) {
  const std::size_t at = out.size();
  out.resize(at + n);
  if (n != 0) std::memcpy(out.data() + at, from, n);
}

// A ZIP archive of one member, without a comment. `method` 8 takes `packed` as raw Deflate
// output, 0 stores `plain` as it is.
inline std::vector<std::uint8_t> ZipOne(const std::string& name,
                                        const std::vector<std::uint8_t>& plain,
                                        const std::vector<std::uint8_t>& packed, int method,
                                        const std::string& password = {}) {
  const std::uint32_t crc =
      static_cast<std::uint32_t>(crc32(0, plain.data(), static_cast<uInt>(plain.size())));
  std::vector<std::uint8_t> body = method == 0 ? plain : packed;
  const bool encrypted = !password.empty();
  if (encrypted) {
    std::mt19937 random(crc);
    std::vector<std::uint8_t> head(12);
    for (auto& b : head) b = static_cast<std::uint8_t>(random());
    head[11] = static_cast<std::uint8_t>(crc >> 24);
    PkEncrypt encrypt(password);
    for (auto& b : head) b = encrypt(b);
    for (auto& b : body) b = encrypt(b);
    body.insert(body.begin(), head.begin(), head.end());
  }
  const std::uint16_t flags = encrypted ? 1 : 0;
  std::vector<std::uint8_t> out(30, 0);
  Put32(out, 0, 0x04034b50u);
  Put16(out, 4, 20);
  Put16(out, 6, flags);
  Put16(out, 8, static_cast<std::uint32_t>(method));
  Put16(out, 10, 0x6000);  // 12:00:00
  Put16(out, 12, 0x5B8B);  // 2025-12-11
  Put32(out, 14, crc);
  Put32(out, 18, static_cast<std::uint32_t>(body.size()));
  Put32(out, 22, static_cast<std::uint32_t>(plain.size()));
  Put16(out, 26, static_cast<std::uint32_t>(name.size()));
  Append(out, name.data(), name.size());
  Append(out, body.data(), body.size());
  const std::size_t dirAt = out.size();
  out.resize(dirAt + 46, 0);
  Put32(out, dirAt, 0x02014b50u);
  Put16(out, dirAt + 4, 20);
  Put16(out, dirAt + 6, 20);
  Put16(out, dirAt + 8, flags);
  Put16(out, dirAt + 10, static_cast<std::uint32_t>(method));
  Put16(out, dirAt + 12, 0x6000);
  Put16(out, dirAt + 14, 0x5B8B);
  Put32(out, dirAt + 16, crc);
  Put32(out, dirAt + 20, static_cast<std::uint32_t>(body.size()));
  Put32(out, dirAt + 24, static_cast<std::uint32_t>(plain.size()));
  Put16(out, dirAt + 28, static_cast<std::uint32_t>(name.size()));
  Append(out, name.data(), name.size());
  const std::size_t endAt = out.size();
  out.resize(endAt + 22, 0);
  Put32(out, endAt, 0x06054b50u);
  Put16(out, endAt + 8, 1);
  Put16(out, endAt + 10, 1);
  Put32(out, endAt + 12, static_cast<std::uint32_t>(endAt - dirAt));
  Put32(out, endAt + 16, static_cast<std::uint32_t>(dirAt));
  return out;
}

// A whole skin file, Deflate-compressed.
inline std::vector<std::uint8_t> SkinFile(const std::vector<Record>& records,
                                          const std::string& password = {}) {
  const std::vector<std::uint8_t> data = SkinData(records);
  return ZipOne("SKINDATA.SK2", data, Deflate(data, 9), 8, password);
}

}  // namespace zelvar::skinfile
