#pragma once
// The programmable-logic windows' documents as the buffer files, the project and the windows use
// them: loading a JEDEC or SVF file into the document of the chosen chip's view kind, the fuse
// window's rows and editing, and saving a JEDEC file back.
#include <string>
#include <vector>

namespace zelvar {

// Loads `path` into the document of view kind 1 (the fuse map in CodeBuffer) or 2 (the JEDEC
// text), creating it on first use; false (with the reader's message) when nothing was loaded.
bool LoadJedecDocument(int viewKind, const std::string& path);
bool LoadSvfDocument(const std::string& path);

// The fuse window redrawn: the map's fuse count becomes the whole map and the lines are returned.
std::vector<std::string> ShowFuseRows();
// The standard JEDEC fuse checksum of the part's fuses as the window shows it ("%04x"): the C
// field a right file carries.
std::string FuseWindowChecksum();
// The part's fuse count, the QF field of its JEDEC files, as the window shows it.
std::string FuseWindowCount();
// The fuse under the caret as the window shows it ("%d "), empty when none.
std::string FuseCaretText(int line, int column);
// Types '0' or '1' (either case of a digit) at the caret: stores the fuse and returns true when
// the window is editable and the caret is on a fuse.
bool TypeFuse(int line, int column, char c);

// The JEDEC window's caret feedback: "Line: n" and "LineAddr: a" (a single blank above the fuses).
std::string JedecLineText(int line);
std::string JedecAddressText(int line);

// Saves the JEDEC text (view kind 2) or the fuse map to `path` (the caller names the ".JED"); false
// when neither window exists or the file cannot be written.
bool SavePldJedec(const std::string& path);

}  // namespace zelvar
