#pragma once
// The recent-files list "LastFileList.tab": four records of 300 bytes, most recent first, each a
// file name ended by a NUL byte and filler that the reader ignores.
#include <array>
#include <string>

namespace zelvar {

inline constexpr int kRecentShown = 4;
inline constexpr int kRecentRecordSize = 300;
inline constexpr const char* kRecentListName = "LastFileList.tab";

using RecentList = std::array<std::string, 5>;

// Reads entries 0 to 3 from `path`; a missing or short file leaves the entries it lacks empty.
// Returns false when the file could not be opened.
bool LoadRecentNames(const std::string& path, RecentList& names);
// Writes entries 0 to 3, each cut to 299 characters; false (and nothing written) when the file
// cannot be opened.
bool SaveRecentNames(const std::string& path, const RecentList& names);

}  // namespace zelvar
