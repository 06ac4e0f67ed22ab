#pragma once
// The skin-file reader. A skin file (".ssk") is a ZIP archive holding one member, "SKINDATA.SK2",
// a chain of named records: bitmaps, integers (colours and positions), booleans and strings.
// The member is found, decrypted (traditional PKWARE encryption) and inflated here by our own
// code, and every read is checked against the bytes there are: a damaged file is refused, never
// read outside.
#include <QImage>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace zelvar {

// What the reader shows for every damaged or unreadable skin file.
inline constexpr const char* kSkinReadFailed = "Failed to read skin file!";
inline constexpr const char* kSkinMember = "SKINDATA.SK2";

// Raw Deflate (RFC 1951: stored, fixed and dynamic blocks, 32 KiB window) appended to `out`.
// False on a damaged stream or when the output would exceed `limit` bytes.
bool InflateStream(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out,
                   std::size_t limit);
// The CRC-32 of ZIP members.
std::uint32_t ZipCrc32(std::span<const std::uint8_t> data);

enum class ExtractResult {
  Extracted,
  Failed,    // damaged archive or member, wrong password, unknown method
  NotFound,  // a sound archive without the member: not a skin file, nothing to say
};
// The largest skin file and member the reader takes: our skins are a few KiB, and a member's
// declared size must not make the reader allocate gigabytes.
inline constexpr std::size_t kMaxSkinBytes = 64u << 20;
// Deflate packs at most 1032 bytes into one (258-byte matches of two bits each).
inline constexpr std::uint64_t kMaxDeflateRatio = 1032;
// The plain bytes of `member` (names compared without regard to case). A member that declares
// more than kMaxSkinBytes, or more than its packed bytes can hold, is refused before inflating. The
// end record must fill the last 22 bytes (an archive with a comment is not taken).
ExtractResult ExtractMember(std::span<const std::uint8_t> archive, const std::string& member,
                            const std::string& password, std::vector<std::uint8_t>& out);

class Tsk2SkinFileReader {
 public:
  // Loads at once; Loaded() tells whether it did, Error() why not.
  Tsk2SkinFileReader(const std::string& fileName, const std::string& password);

  bool Loaded() const { return loaded_; }
  // "Failed to read skin file!" after a failed load; empty after a load or a silent refusal.
  const std::string& Error() const { return error_; }

  // Look-ups ignore letter case. Absent names give none, -1, false and "".
  const QImage* GetBitmap(const std::string& name) const;
  int GetInteger(const std::string& name) const;
  bool GetBool(const std::string& name) const;
  std::string GetStr(const std::string& name) const;
  // Changes only a bitmap the file holds.
  void SetBitmap(const std::string& name, const QImage& bitmap);
  void SetInteger(const std::string& name, int value);
  void SetBool(const std::string& name, bool value);
  // Every bitmap sees through `colour` from now on.
  void ProcessTransparentColor(const QColor& colour);

  // The records of a member's bytes; false (nothing kept) when the chain is damaged.
  bool ReadRecords(std::span<const std::uint8_t> data);

 private:
  struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  void Load(const std::string& fileName, const std::string& password);

  std::map<std::string, QImage, CaseLess> bitmaps_;
  std::map<std::string, int, CaseLess> integers_;
  std::map<std::string, bool, CaseLess> booleans_;
  std::map<std::string, std::string, CaseLess> strings_;
  bool loaded_ = false;
  std::string error_;
};

}  // namespace zelvar
