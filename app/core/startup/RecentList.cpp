#include "app/core/startup/RecentList.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace zelvar {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool LoadRecentNames(const std::string& path, RecentList& names) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  for (int i = 0; i < kRecentShown; ++i) {
    char record[kRecentRecordSize] = {};
    const std::size_t got = std::fread(record, 1, sizeof record, f.get());
    // A record without its NUL is cut at 299 characters, as the writer cuts it.
    record[kRecentRecordSize - 1] = '\0';
    names[i] = got ? std::string(record, strnlen(record, got)) : std::string();
  }
  return true;
}

bool SaveRecentNames(const std::string& path, const RecentList& names) {
  File f(std::fopen(path.c_str(), "wb"));
  if (!f) return false;
  bool ok = true;
  for (int i = 0; i < kRecentShown; ++i) {
    char record[kRecentRecordSize] = {};
    const std::string& name = names[i];
    std::memcpy(record, name.data(), std::min<std::size_t>(name.size(), kRecentRecordSize - 1));
    ok = std::fwrite(record, 1, sizeof record, f.get()) == sizeof record && ok;
  }
  return ok;
}

}  // namespace zelvar
