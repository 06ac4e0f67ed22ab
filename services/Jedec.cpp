#include "services/Jedec.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "services/Messages.h"

namespace zelvar {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Printf(const char* format, int a, int b = 0, int c = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

}  // namespace

std::uint16_t JedecFuseChecksum(std::span<const std::uint8_t> map, int count) {
  std::uint16_t sum = 0;
  std::uint8_t byte = 0;
  const int n = std::clamp(count, 0, static_cast<int>(map.size()));
  for (int k = 0; k < n; ++k) {
    if (map[static_cast<std::size_t>(k)] & 1) byte |= static_cast<std::uint8_t>(1 << (k % 8));
    if (k % 8 == 7 || k == n - 1) {
      sum = static_cast<std::uint16_t>(sum + byte);
      byte = 0;
    }
  }
  return sum;
}

bool ReadGalJedecText(std::string_view text, FuseMapDocument& doc, std::span<std::uint8_t> map) {
  const int size = std::min({doc.MapFuses(), static_cast<int>(map.size()), kSmallPldFuseLimit});
  std::vector<std::int8_t> fuses(static_cast<std::size_t>(std::max(size, 0)), -1);
  char defaultFuse = '0';
  int reached = 0;
  int declaredFuses = 0;
  int declaredChecksum = -1;
  // Fields end at '*'; the first is the design field.
  std::size_t pos = text.find('*');
  while (pos != std::string_view::npos && pos + 1 < text.size()) {
    std::size_t i = pos + 1;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size() || text[i] == '\x03') break;
    const std::size_t end = std::min(text.find('*', i), text.size());
    const char id = text[i];
    if (id == 'C') {
      // The fuse checksum: four hexadecimal digits.
      int value = 0, digits = 0;
      for (std::size_t j = i + 1; j < end && digits < 5; ++j) {
        const char c = text[j];
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
        if (d < 0) break;
        value = value * 16 + d;
        ++digits;
      }
      if (digits == 4) declaredChecksum = value;
      break;
    }
    if (id == 'Q' && i + 1 < end && text[i + 1] == 'F') {
      long number = 0;
      int digits = 0;
      for (std::size_t j = i + 2; j < end && text[j] >= '0' && text[j] <= '9' && digits < 10; ++j) {
        number = number * 10 + (text[j] - '0');
        ++digits;
      }
      if (digits == 0 || number > size) return false;  // a larger part's file
      declaredFuses = static_cast<int>(number);
    } else if (id == 'F') {
      std::size_t j = i + 1;
      while (j < end && IsBlank(text[j])) ++j;
      if (j < end && (text[j] == '0' || text[j] == '1')) defaultFuse = text[j];
    } else if (id == 'L') {
      std::size_t j = i + 1;
      long number = 0;
      int digits = 0;
      while (j < end && text[j] >= '0' && text[j] <= '9' && digits < 10) {
        number = number * 10 + (text[j] - '0');
        ++digits;
        ++j;
      }
      if (digits == 0 || number >= size) return false;
      int fuse = static_cast<int>(number);
      for (; j < end; ++j) {
        const char c = text[j];
        if (c == '0' || c == '1') {
          if (fuse >= size) return false;
          fuses[static_cast<std::size_t>(fuse++)] = static_cast<std::int8_t>(c);
        } else if (!IsBlank(c)) {
          return false;
        }
      }
      reached = std::max(reached, fuse);
    }
    pos = end < text.size() ? end : std::string_view::npos;
  }
  for (int k = 0; k < size; ++k) {
    const std::int8_t f = fuses[static_cast<std::size_t>(k)];
    map[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(f < 0 ? defaultFuse : f);
  }
  doc.fuseCount = reached;
  doc.fileFuses = declaredFuses;
  doc.fileChecksum = declaredChecksum;
  doc.loaded = true;
  return true;
}

bool ReadGalJedec(const std::string& path, FuseMapDocument& doc, std::span<std::uint8_t> map) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ShowMessageText(kCanNotOpenFile);
    return false;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!ReadGalJedecText(text, doc, map)) {
    ShowMessageText(kJedecFormatError);
    return false;
  }
  if (doc.fileChecksum >= 0) {
    const int count = doc.fileFuses > 0 ? doc.fileFuses : doc.DeviceFuses();
    const int sum = JedecFuseChecksum(map, count);
    if (sum != doc.fileChecksum) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "Warning: the file's fuse checksum is %04X, its fuses give %04X!*"
                    "提示: 文件的熔丝校验和为 %04X, 熔丝计算为 %04X!",
                    doc.fileChecksum, sum, doc.fileChecksum, sum);
      AddMessageLine(text);
    }
  }
  return true;
}

std::string GalDeviceLine(int rowLength) {
  switch (rowLength) {
    case 32:
      return "GAL16V8";
    case 40:
      return "GAL20V8";
    case 44:
      return "GAL22V10";
    default:
      return "";
  }
}

std::string GalJedecText(const FuseMapDocument& doc, std::span<const std::uint8_t> map) {
  // A standard JEDEC transfer: STX, the design field, the package pins (QP) and fuse count (QF)
  // that other tools check, a default, one L field of the part's fuses (no padding past them: the
  // map's spare room is no fuse), the fuse checksum, ETX and the transmission checksum.
  const int count = std::min(doc.DeviceFuses(), static_cast<int>(map.size()));
  std::string out = "\x02";
  const std::string device = GalDeviceLine(doc.rowLength);
  if (!device.empty()) out += device + "\n";
  out += "Verin*\n";
  const int pins = doc.rowLength == 32 ? 20 : doc.rowLength == 40 || doc.rowLength == 44 ? 24 : 0;
  if (pins != 0) out += Printf("QP%d*\n", pins);
  out += Printf("QF%d*\n", count);
  out += "F0*\n";
  out += "L0000 \n";
  const int row = std::max(doc.rowLength, 1);
  for (int k = 0; k < count; ++k) {
    out += static_cast<char>(map[static_cast<std::size_t>(k)] & 1 ? '1' : '0');
    if (k == count - 1) {
      out += "*\n";
    } else if (k % row == row - 1) {
      out += '\n';
    }
  }
  if (count == 0) out += "*\n";
  out += Printf("C%04X*\n", JedecFuseChecksum(map, count));
  out += '\x03';
  unsigned transmission = 0;
  for (const char c : out) transmission += static_cast<unsigned char>(c);
  out += Printf("%04X", static_cast<int>(transmission & 0xFFFF));
  return out;
}

bool WriteGalJedec(const std::string& path, const FuseMapDocument& doc,
                   std::span<const std::uint8_t> map) {
  const std::string text = GalJedecText(doc, map);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(text.data(), static_cast<std::streamsize>(text.size()));
  f.close();
  if (!f) {
    ShowMessageText("Can not write this file!*不能写入文件!");
    return false;
  }
  return true;
}

std::vector<std::string> FuseRowLines(const FuseMapDocument& doc,
                                      std::span<const std::uint8_t> map) {
  std::vector<std::string> lines;
  for (int r = 0; r < doc.rowCount + 6; ++r) {
    std::string line = Printf("L%04d ", r * doc.rowLength);
    for (int k = 0; k < doc.rowLength; ++k) {
      const auto n = static_cast<std::size_t>(r * doc.rowLength + k);
      line += n < map.size() && (map[n] & 1) ? '1' : '0';
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

int FuseAtCaret(const FuseMapDocument& doc, int line, int column) {
  if (line < 0 || line >= doc.rowCount + 6) return -1;
  if (column < kFuseColumn || column >= kFuseColumn + doc.rowLength) return -1;
  return line * doc.rowLength + column - kFuseColumn;
}

int ReadJedecText(JedecTextDocument& doc, std::span<std::uint8_t> out, int lanes) {
  const auto& lines = doc.lines;
  const auto first = std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& l) { return l.starts_with("L0000"); });
  if (first == lines.end() || lanes < 1) {
    ShowMessageText(kJedecFormatError);
    return 0;
  }
  doc.firstFuseLine = static_cast<int>(first - lines.begin());
  doc.blanks = static_cast<int>(std::count(first->begin(), first->end(), ' '));
  std::string fuses;
  int fuseLines = 0;
  for (auto it = first; it != lines.end(); ++it) {
    const std::string& l = *it;
    if (l.size() > kJedecLineMax) {
      ShowMessageText(kJedecFormatError);
      return 0;
    }
    if (l.empty() || l[0] == 'N' || l[0] == 'V') continue;
    if (l[0] == 'E' || l[0] == 'U' || l[0] == 'C') break;
    const auto blank = l.find(' ');
    if (blank == std::string::npos) continue;
    const std::size_t before = fuses.size();
    for (std::size_t i = blank + 1; i < l.size(); ++i) {
      if (l[i] == '0' || l[i] == '1') fuses += l[i];
    }
    if (fuses.size() > kJedecFusesMax) {
      ShowMessageText(kJedecFormatError);
      return 0;
    }
    if (fuses.size() > before) ++fuseLines;
  }
  const std::size_t total = fuses.size();
  const std::size_t group = 8 * static_cast<std::size_t>(lanes);
  const std::size_t perLane = (total + group - 1) / group;
  const std::size_t bytes = perLane * static_cast<std::size_t>(lanes);
  if (bytes > kJedecPackedMax || bytes > out.size()) {
    ShowMessageText(kJedecFormatError);
    return 0;
  }
  std::fill_n(out.begin(), std::min(out.size(), kJedecPackedMax), std::uint8_t{0});
  std::size_t n = 0;
  unsigned sum = 0;
  for (std::size_t g = 0; g < static_cast<std::size_t>(lanes); ++g) {
    for (std::size_t i = 0; i < total; i += group) {
      std::uint8_t b = 0;
      for (std::size_t j = 0; j < 8; ++j) {
        const std::size_t f = g + i + j * static_cast<std::size_t>(lanes);
        if (f < total && fuses[f] == '1') b |= static_cast<std::uint8_t>(1 << j);
      }
      out[n++] = b;
      sum += b;
    }
  }
  doc.result = Printf("Lines:%d,Len:%04X,Sum:%04X", fuseLines, static_cast<int>(n),
                      static_cast<int>(sum & 0xFFFF));
  return fuseLines;
}

void WriteJedecText(JedecTextDocument& doc, const std::uint8_t* data, int rowLength, int rows) {
  doc.lines.clear();
  doc.lines.push_back("N Zelvar Ver 3.xxx");
  const int rowBytes = (rowLength + 7) / 8;
  for (int i = 0; i < rowLength; ++i) {
    char head[16];
    std::snprintf(head, sizeof head, "L%06d ", i * rows);
    std::string line = head;
    for (int r = 0; r < rows; ++r) {
      const std::uint8_t b = data[r * rowBytes + i / 8];
      line += (b >> (i % 8)) & 1 ? '1' : '0';
    }
    line += '*';
    doc.lines.push_back(std::move(line));
  }
  int sum = 0;
  for (int k = 0; k < rows * rowBytes; ++k) sum += static_cast<std::int8_t>(data[k]);
  doc.lines.push_back(Printf("C%04X", sum & 0xFFFF));
}

std::optional<std::vector<std::string>> ReadTextFileLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(std::move(l));
  }
  return lines;
}

bool WriteTextFileLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  for (const auto& l : lines) f << l << '\n';
  f.close();
  return static_cast<bool>(f);
}

}  // namespace zelvar
