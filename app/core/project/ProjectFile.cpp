#include "app/core/project/ProjectFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/core/buffer/BufferUi.h"
#include "app/core/buffer/HexText.h"
#include "app/core/catalogue/AlgorithmKeys.h"
#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/Selection.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/settings/Stamps.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"

namespace zelvar {

namespace {

constexpr const char* kFormatError = "File format error! *错误的文件格!";
constexpr int kSettingsTexts = 6;
constexpr int kCheckBytes = 6;
// No count in a well-formed header can exceed this: each counted line takes at least 2 bytes.
constexpr long kMaxCountedLines = kProjectDataOffset / 2;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool Printable(char c) {
  return static_cast<signed char>(c) >= 0x20;  // bytes from 0x80 up are negative
}

void WriteNumberLine(std::string& out, long value) {
  out += std::to_string(value);
  out += '\n';
}

std::optional<long> ReadNumberLine(std::FILE* f) {
  const auto line = ReadTextLine(f);
  if (!line || line->empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(line->c_str(), &end, 10);
  if (errno == ERANGE || end == line->c_str()) return std::nullopt;
  while (*end == ' ') ++end;
  if (*end != '\0') return std::nullopt;
  return v;
}

std::optional<long> ReadCountLine(std::FILE* f) {
  const auto n = ReadNumberLine(f);
  if (!n || *n < 0 || *n > kMaxCountedLines) return std::nullopt;
  return n;
}

// Items 1 to 11 as the program holds them.
std::string ProjectHeader(const ProjectParts& parts) {
  std::string out = kProjectHeaderLine;
  out += '\n';
  WriteTextLine(out, gApp.DataFileName);
  WriteNumberLine(out, gLink.ModelNumber);
  // Written whole: items such as "cfg=" or "adp=" stand past 100 bytes.
  WriteTextLine(out, gApp.ParameterString, kParameterStringMax);
  WriteTextLine(out, gApp.ChipTitle);
  WriteNumberLine(out, kOptionWords);
  for (const std::int32_t word : gApp.OptionValues) WriteNumberLine(out, word);
  WriteNumberLine(out, static_cast<long>(parts.ui.WordRows.size()));
  for (const WordGridRow& row : parts.ui.WordRows) WriteTextLine(out, row.Value);
  const StampSettings& s = parts.settings;
  for (const std::string* t : {&s.Edit1, &s.Edit2, &s.Edit3, &s.Edit4, &s.Edit5, &s.Edit6})
    WriteTextLine(out, *t);
  for (const bool b : {s.CheckBox1, s.CheckBox2, s.CheckBox4, s.CheckBox5, s.CheckBox6, false})
    out += static_cast<char>(b ? 1 : 0);
  return out;
}

std::size_t BufferCount(std::int64_t count) {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, gApp.CodeBuffer.size()));
}

// A large-PLD chip whose JEDEC text window exists: the project carries that text.
bool LargePldText() {
  return gApp.InfoRecord[3] == 2 && gPld.jedec.exists;
}

// Reads the JEDEC text from offset 4096, at most 10000 lines, in place of the window's text.
void ReadProjectJedecText(std::FILE* f) {
  constexpr int kMaxLines = 10000;
  std::vector<std::string> lines;
  if (std::fseek(f, kProjectDataOffset, SEEK_SET) == 0) {
    std::string line;
    for (int c; (c = std::fgetc(f)) != EOF && lines.size() < kMaxLines;) {
      if (c == '\n') {
        lines.push_back(std::move(line));
        line.clear();
      } else if (c != '\r') {
        line += static_cast<char>(c);
      }
    }
    if (!line.empty() && lines.size() < kMaxLines) lines.push_back(std::move(line));
  }
  gPld.jedec.lines = std::move(lines);
}

bool WriteProject(std::FILE* f, const ProjectParts& parts) {
  std::string head = ProjectHeader(parts);
  head.resize(kProjectDataOffset, '\0');
  bool ok = std::fwrite(head.data(), 1, head.size(), f) == head.size();
  if (LargePldText()) {
    // A large PLD keeps its JEDEC text, not the buffer.
    for (const std::string& line : gPld.jedec.lines) {
      ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size() &&
           std::fputc('\n', f) != EOF;
    }
    return ok;
  }
  const std::uint8_t* buffer = gApp.CodeBuffer.data();
  const std::size_t code = BufferCount(std::int64_t{gApp.CodeLastAddress} + 1);
  ok = ok && std::fwrite(buffer, 1, code, f) == code;
  if (gApp.InfoRecord[1] > 0) {
    // The second run starts at 0 again and is one byte longer than the reader takes.
    const std::size_t data = BufferCount(std::int64_t{gApp.InfoRecord[1]} + gApp.InfoRecord[2] + 1);
    ok = ok && std::fwrite(buffer, 1, data, f) == data;
  }
  return ok;
}

// What the reader takes from items 2 to 11 before anything is applied.
struct ProjectHead {
  std::string parameters;
  std::string title;
  std::vector<std::int32_t> words;
  std::vector<std::string> gridTexts;
  std::array<std::string, kSettingsTexts> texts;
  std::array<std::uint8_t, kCheckBytes> checks{};
};

std::optional<ProjectHead> ReadProjectHead(std::FILE* f) {
  ProjectHead h;
  if (!ReadTextLine(f) || !ReadTextLine(f)) return std::nullopt;  // data-file name, model
  auto parameters = ReadTextLine(f, kParameterStringMax);
  auto title = ReadTextLine(f);
  if (!parameters || !title) return std::nullopt;
  h.parameters = std::move(*parameters);
  h.title = std::move(*title);
  const auto words = ReadCountLine(f);
  if (!words) return std::nullopt;
  for (long i = 0; i < *words; ++i) {
    const auto w = ReadNumberLine(f);
    if (!w) return std::nullopt;
    h.words.push_back(static_cast<std::int32_t>(*w));
  }
  const auto rows = ReadCountLine(f);
  if (!rows) return std::nullopt;
  for (long r = 0; r < *rows; ++r) {
    auto t = ReadTextLine(f);
    if (!t) return std::nullopt;
    h.gridTexts.push_back(std::move(*t));
  }
  for (std::string& text : h.texts) {
    auto t = ReadTextLine(f);
    if (!t) return std::nullopt;
    text = std::move(*t);
  }
  if (std::fread(h.checks.data(), 1, h.checks.size(), f) != h.checks.size()) return std::nullopt;
  // The buffer starts at 4096: lines running past it are no project's.
  if (std::ftell(f) > kProjectDataOffset) return std::nullopt;
  return h;
}

// Binds the project's chip; false (nothing changed) when its parameter text binds no set.
bool BindProjectChip(const ProjectHead& h) {
  const auto head = ParseParameterHead(h.parameters);
  if (!head || head->key == kIcTesterKey) return false;
  const auto colon = h.title.find(": ");
  const std::string name = colon == std::string::npos ? h.title : h.title.substr(colon + 2);
  return SelectAlgorithm({h.parameters, h.title, name}) == SelectionResult::Bound;
}

void ApplyProjectHead(const ProjectHead& h, ProjectParts& parts) {
  gApp.OptionValues.fill(0);
  std::copy_n(h.words.begin(), std::min<std::size_t>(h.words.size(), kOptionWords),
              gApp.OptionValues.begin());
  OptionValuesToGrid(parts.ui);
  for (std::size_t r = 0; r < h.gridTexts.size() && r < parts.ui.WordRows.size(); ++r)
    parts.ui.WordRows[r].Value = h.gridTexts[r];
  OptionWordsFromGrid(parts.ui);

  StampSettings& s = parts.settings;
  std::string* texts[] = {&s.Edit1, &s.Edit2, &s.Edit3, &s.Edit4, &s.Edit5, &s.Edit6};
  for (int i = 0; i < kSettingsTexts; ++i) *texts[i] = h.texts[static_cast<std::size_t>(i)];
  bool* checks[] = {&s.CheckBox1, &s.CheckBox2, &s.CheckBox4, &s.CheckBox5, &s.CheckBox6};
  for (int i = 0; i < 5; ++i) *checks[i] = h.checks[static_cast<std::size_t>(i)] != 0;
  // The project's contact switch is in force as soon as it shows.
  gLink.DetectPinFlag = s.CheckBox4 ? 1 : 0;
}

// Reads the buffer from offset 4096; false when the file ended early (the missing bytes are
// 0xFF, except code bytes that the first run already gave).
bool ReadProjectBuffer(std::FILE* f) {
  std::uint8_t* buffer = gApp.CodeBuffer.data();
  const std::size_t code = BufferCount(std::int64_t{gApp.CodeLastAddress} + 1);
  bool complete = std::fseek(f, kProjectDataOffset, SEEK_SET) == 0;
  const std::size_t got = complete ? std::fread(buffer, 1, code, f) : 0;
  std::fill(buffer + got, buffer + code, std::uint8_t{0xFF});
  complete = complete && got == code;
  if (gApp.InfoRecord[1] > 0) {
    const std::size_t data = BufferCount(std::int64_t{gApp.InfoRecord[1]} + gApp.InfoRecord[2]);
    std::vector<std::uint8_t> run(data);
    const std::size_t gotData = complete ? std::fread(run.data(), 1, data, f) : 0;
    std::copy_n(run.begin(), gotData, buffer);
    if (gotData < data) {
      std::fill(buffer + std::max(gotData, code), buffer + data, std::uint8_t{0xFF});
      complete = false;
    }
  }
  return complete;
}

}  // namespace

void WriteTextLine(std::string& out, const std::string& text, std::size_t max) {
  const auto end = std::find_if_not(text.begin(), text.end(), Printable);
  out.append(text.begin(), text.begin() + std::min<std::ptrdiff_t>(end - text.begin(), max));
  out += '\n';
}

std::optional<std::string> ReadTextLine(std::FILE* f, std::size_t max) {
  // The whole line is consumed; only its printable head, at most `max` bytes, is kept.
  std::string line;
  bool any = false;
  bool cut = false;
  for (int c; (c = std::fgetc(f)) != EOF;) {
    any = true;
    if (c == '\n') break;
    cut = cut || !Printable(static_cast<char>(c)) || line.size() >= max;
    if (!cut) line += static_cast<char>(c);
  }
  if (!any) return std::nullopt;
  return line;
}

std::string ProposeProjectName() {
  if (!gApp.ProjectFileName.empty()) return gApp.ProjectFileName;
  if (!gApp.DataFileName.empty()) return ChangeFileExt(gApp.DataFileName, ".zor");
  return "Noname.zor";
}

bool SaveProjectFile(const std::string& path, ProjectParts& parts) {
  if (ProjectHeader(parts).size() > static_cast<std::size_t>(kProjectDataOffset)) {
    ShowMessageText("The project's settings are too long!*项目设置太长!");
    return false;
  }
  // Written beside the old file and renamed over it, so a failed write keeps the old project.
  const std::string part = path + ".part";
  File f(std::fopen(part.c_str(), "wb"));
  bool ok = f && WriteProject(f.get(), parts);
  if (f) ok = std::fclose(f.release()) == 0 && ok;
  ok = ok && std::rename(part.c_str(), path.c_str()) == 0;
  if (!ok) {
    std::remove(part.c_str());
    ShowMessageText("Can not write this file! *不能写入项目文件!");
    return false;
  }
  gApp.ProjectFileName = path;
  BufferUi& ui = bufferUi();
  ui.SetFrameCaption(path);
  ui.UpdateRecentMenu(path);
  gApp.DataFileName.clear();
  gApp.ProjectModified = 0;
  return true;
}

bool LoadProjectFile(const std::string& path, ProjectParts& parts) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) {
    ShowMessageText("Can not open this file! *不能打开项目文件!");
    return false;
  }
  const auto first = ReadTextLine(f.get());
  if (!first || first->compare(0, 14, std::string(kProjectHeaderLine, 14)) != 0) {
    ShowMessageText(kFormatError);
    return false;
  }
  // Everything is read before anything changes, so a damaged file leaves the program as it was.
  const auto head = ReadProjectHead(f.get());
  if (!head || !BindProjectChip(*head)) {
    ShowMessageText(kFormatError);
    return false;
  }
  ApplyProjectHead(*head, parts);
  bool cutShort = false;
  if (gApp.InfoRecord[3] == 2) {
    gPld.jedec.exists = true;
    ReadProjectJedecText(f.get());
  } else {
    cutShort = !ReadProjectBuffer(f.get());
    if (cutShort) {
      AddMessageLine(
          "Warning: the project file ends early; the missing bytes are 0xFF.*提示: "
          "项目文件不完整, 缺少的字节填为0xFF。");
    }
  }
  f.reset();

  BufferUi& ui = bufferUi();
  ui.ShowBuffer();
  ui.SetFrameCaption(path + "    [" + gApp.ChipName + "]");
  ui.UpdateRecentMenu(path);
  gApp.DataFileName.clear();
  gApp.ProjectFileName = path;
  // A buffer padded with 0xFF is not the project as saved: Run must not take it.
  gApp.ProjectModified = cutShort ? 1 : 0;
  return true;
}

}  // namespace zelvar
