#pragma once
// The ".zor" project file: the chosen chip, its option words, the word grid, the settings and the
// buffer in one file. Items 1 to 11 are lines (and six check bytes) at the front; the buffer, or
// the large-PLD JEDEC text, starts at offset 4096:
//   "Zor programmer project file", data-file name, model number, parameter text, chip title,
//   option-word count and words, word-grid row count and texts, six settings texts, six check
//   bytes, zero fill to 4096, then code bytes 0..CodeLastAddress and, for a chip with a data area,
//   bytes 0..start+length once more.
// A text line is the text up to its first byte below 0x20 or from 0x80 up, at most 100 bytes,
// and a line feed; the parameter text is written whole. The reader takes whole lines, so a long
// line never shifts the lines after it.
#include <cstdio>
#include <optional>
#include <string>

namespace zelvar {

struct ChipUiModel;
struct StampSettings;

inline constexpr const char* kProjectHeaderLine = "Zor programmer project file";
inline constexpr long kProjectDataOffset = 4096;
inline constexpr std::size_t kProjectTextMax = 100;
inline constexpr const char* kProjectFilter = "Project file[*.zor]|*.zor";

// Appends `text` up to its first byte below 0x20 or from 0x80 up, at most `max` bytes, and 0x0A.
void WriteTextLine(std::string& out, const std::string& text, std::size_t max = kProjectTextMax);
// The next whole line without its line feed, cut before its first byte below 0x20 or from 0x80
// up and kept to at most `max` bytes; none at the end of the file.
std::optional<std::string> ReadTextLine(std::FILE* f, std::size_t max = kProjectTextMax);

// What a project keeps besides gApp: the chip controls (option-word grid) and the settings.
struct ProjectParts {
  ChipUiModel& ui;
  StampSettings& settings;
};

// The save dialog's proposal: the project's name, else the data file's name with ".zor", else
// "Noname.zor".
std::string ProposeProjectName();

// Writes the project to `path`. On success the caption shows the path, the recent list takes it,
// no data file is current and the project counts as unchanged. A file that cannot be written
// gives a message and changes nothing.
bool SaveProjectFile(const std::string& path, ProjectParts& parts);

// Reads the project at `path`, binds its chip and restores options, word grid, settings and
// buffer. A file that cannot be opened, does not start as a project, is damaged in its lines or
// names a chip that cannot be bound gives a message and leaves the program as it was. A file
// that ends early loads with the missing bytes as 0xFF and a warning line.
bool LoadProjectFile(const std::string& path, ProjectParts& parts);

}  // namespace zelvar
