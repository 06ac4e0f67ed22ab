#pragma once
// What every algorithm set shares, whatever its family: the dispatcher contract (buffer and record
// kept, operation 2 describes, other codes go to the set's handlers), the status rule, and the
// describe step with its "cfg=" group and the InfoRecord. The memory frame and the microcontroller
// frame stand on it.
#include <cstdint>
#include <span>

#include "algorithms/TypeRules.h"
#include "services/AppState.h"
#include "services/Dispatcher.h"

namespace zelvar::frame {

inline constexpr std::uint32_t kDefaultGroundPin = 20;

// Set-up refusals several families share.
inline constexpr const char* kNoSuchType = "Chip type not in this set! *器件类型不在此算法中!";
inline constexpr const char* kBadPage =
    "Page size (pag=) must be a power of two! *页大小(pag=)必须是2的幂!";
inline constexpr const char* kNoLength =
    "No chip size (len=) in the device list! *器件列表缺少容量(len=)!";

// What operation 2 reports of the chosen type.
struct TypeFacts {
  std::uint32_t lastAddress = 0;
  std::uint64_t contactMask = 0;  // bit n-1: socket pin n must touch; 0 asks for no contact test
  std::uint32_t groundPin = kDefaultGroundPin;
  std::uint32_t dataStart = 0;   // the data area's offset in the buffer
  std::uint32_t dataLength = 0;  // 0: no data area
  std::int32_t viewKind = 8;     // 8-bit hex view; 1 the fuse-map window, 2 the JEDEC text window
  std::int32_t noStamps = 0;     // 1: no serial or date stamps after a run
};

// Writes the eight InfoRecord words: the mask goes out as its bits 0 to 30 (word 6) and its bits
// 31 and up (word 7), so that word 7 * 2^31 + word 6 gives it back whole.
void WriteInfoRecord(const TypeFacts& f, std::int32_t* info);

// The log line of buffer data at `address` where the chip has no memory: Verify's error, or
// Write's refusal before it changes anything.
void LogNoMemoryAt(std::uint32_t address, std::uint8_t held, bool verify);

class SetFrame {
 public:
  virtual ~SetFrame() = default;
  // The set's AlgorithmDispatcher body: keeps buffer and record, runs the operation, returns
  // StatusWord. A chip operation the set handles starts from StatusWord 0; a code it does not
  // handle changes nothing, StatusWord included.
  std::uint8_t Dispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list);

 protected:
  // Operation 1.
  virtual void Init() = 0;
  virtual TypeFacts Facts() const = 0;
  // The describe list for the chosen chip, "$end" last.
  virtual std::span<const char* const> DescribeList() const = 0;
  // The config groups, "$end" last; by default the single group 0 with no rows.
  virtual std::span<const char* const> ConfigTable() const;
  // True when the describe list carries its own "$Grid1:" rows (built at set-up): describe then
  // adds no config group.
  virtual bool DescribesOwnGrid() const { return false; }
  // The config group operation 2 shows: "cfg=" unless the set chooses by another item.
  virtual int ConfigGroup() const;
  // Runs the handler of chip operation `op`; false when the set has none.
  virtual bool Run(int op) = 0;

  // Operation 2; returns the entries written, "$end" included.
  int Describe(std::int32_t* info, ChipUiList* list);

  // OptionValues word `index`, and writing one back (Read config).
  std::uint32_t Word(int index) const { return static_cast<std::uint32_t>(record_[index]); }
  void SetWord(int index, std::uint32_t value) {
    record_[index] = static_cast<std::int32_t>(value);
  }

  // "vcc=" in millivolts, or the family default when the chip line gives none: without it a set
  // would run at 0 V.
  static int ChipVccMillivolts(int fallback = 5000);
  // Sets the supply levels chosen at set-up again: anything between two operations (a failure's
  // power-off, a signature read) may have changed them, and a chip on a 0 V supply reads blank.
  void RestoreSupplies();

  std::uint8_t* buffer_ = nullptr;
  std::int32_t* record_ = nullptr;
  int vccMillivolts_ = 0;  // the supplies set-up chose
  int vppMillivolts_ = 0;
};

}  // namespace zelvar::frame
