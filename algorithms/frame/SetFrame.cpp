#include "algorithms/frame/SetFrame.h"

#include <cstdio>
#include <cstring>

#include "link/LinkFault.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/QueueWrites.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::frame {

void LogNoMemoryAt(std::uint32_t address, std::uint8_t held, bool verify) {
  char line[224];
  if (verify) {
    std::snprintf(line, sizeof line,
                  "Verify error at %05X: the chip has no memory there, the buffer holds "
                  "%02X*校验错误 %05X: 芯片在此没有存储单元, 缓冲区为 %02X",
                  address, held, address, held);
  } else {
    std::snprintf(line, sizeof line,
                  "The buffer holds %02X at %05X, where the chip has no memory: nothing "
                  "written*缓冲区 %05X 为 %02X, 芯片在此没有存储单元: 未写入",
                  held, address, address, held);
  }
  AddMessageLine(line);
}

namespace {
// The release on the way out of a fault: a second fault there (the link already lost) is not the
// one to report.
void ReleaseAfterFault() {
  try {
    ReleaseSocket();
  } catch (const OperationFault&) {
  }
}

constexpr const char* kSingleGroup[] = {"0: (只有一种类型)", "$end"};
constexpr int kMaxListEntries = 1000;

bool IsEnd(const char* entry) {
  return std::strncmp(entry, "$end", 4) == 0;
}

// Writes `text` as entry `n` of the list when it has room; the last slot is kept for "$end".
void Put(ChipUiList& list, int& n, const char* text) {
  if (n + 1 < static_cast<int>(list.size())) list[n++] = text;
}
}  // namespace

void WriteInfoRecord(const TypeFacts& f, std::int32_t* info) {
  info[0] = static_cast<std::int32_t>(f.lastAddress);
  info[1] = static_cast<std::int32_t>(f.dataStart);
  info[2] = static_cast<std::int32_t>(f.dataLength);
  info[3] = f.viewKind;
  info[4] = f.noStamps;
  info[5] = static_cast<std::int32_t>(f.groundPin);
  info[6] = static_cast<std::int32_t>(f.contactMask & 0x7FFFFFFFu);
  info[7] = static_cast<std::int32_t>(f.contactMask >> 31);
}

std::uint8_t SetFrame::Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                                ChipUiList* list) {
  buffer_ = buffer;
  record_ = record;
  if (op == kOpSetup) {
    // Set-up may drive pins as well (a bus's idle levels): it leaves the socket released too.
    const std::uint32_t writes = QueueWritesSent();
    try {
      Init();
    } catch (const OperationFault&) {
      if (gLink.ModelNumber != 0) ReleaseAfterFault();
      throw;
    }
    if (QueueWritesSent() != writes || gLink.CommandCount) ReleaseSocket();
  } else if (op == kOpDescribe) {
    if (record && list) Describe(record, list);
  } else if (op != kOpOptions && record && buffer) {
    const std::uint8_t before = gLink.StatusWord;
    gLink.StatusWord = 0;
    // Every operation that reached the programmer ends with the socket released, however it
    // ends: done once here, not by each set. One that sent nothing (a row refused at set-up)
    // leaves the socket as the last one released it.
    const std::uint32_t writes = QueueWritesSent();
    const auto reached = [writes] { return QueueWritesSent() != writes || gLink.CommandCount; };
    bool ran = false;
    try {
      ran = Run(op);
    } catch (const OperationFault&) {
      // A link fault leaves the programmer off-line: the runner tries the switch-off once more.
      if (gLink.ModelNumber != 0 && reached()) ReleaseAfterFault();
      throw;
    }
    if (!ran) {
      gLink.StatusWord = before;
    } else if (reached()) {
      ReleaseSocket();
    }
  }
  return gLink.StatusWord;
}

int SetFrame::ChipVccMillivolts(int fallback) {
  const int vcc = services().ChipParam("vcc=");
  return vcc > 0 ? vcc : fallback;
}

void SetFrame::RestoreSupplies() {
  SetVccVoltage(vccMillivolts_);
  if (gLink.LastVppMillivolts != vppMillivolts_) SetVppVoltage(vppMillivolts_);
}

std::span<const char* const> SetFrame::ConfigTable() const {
  return kSingleGroup;
}

int SetFrame::ConfigGroup() const {
  return services().ChipParam("cfg=");
}

int SetFrame::Describe(std::int32_t* info, ChipUiList* list) {
  WriteInfoRecord(Facts(), info);

  ChipUiList& out = *list;
  int n = 0;
  const auto entries = DescribeList();
  for (std::size_t i = 0; i < entries.size() && i < kMaxListEntries && !IsEnd(entries[i]); ++i) {
    Put(out, n, entries[i]);
  }

  if (DescribesOwnGrid()) {
    if (n < static_cast<int>(out.size())) out[n++] = "$end";
    return n;
  }
  // The config group named by "cfg=": its rows follow its opening row up to the next group.
  const int group = ConfigGroup();
  const auto table = ConfigTable();
  std::size_t row = 0;
  while (row < table.size() && !IsEnd(table[row]) && table[row][0] - '0' != group) ++row;
  Put(out, n, "$Grid1:");
  if (row < table.size() && !IsEnd(table[row])) {
    for (std::size_t i = row + 1; i < table.size() && i < kMaxListEntries; ++i) {
      const char* entry = table[i];
      if (IsEnd(entry) || static_cast<signed char>(entry[0]) < ':') break;
      Put(out, n, entry);
    }
  }
  if (n < static_cast<int>(out.size())) out[n++] = "$end";
  return n;
}

}  // namespace zelvar::frame
