// Every bitstream a built algorithm set, the self-test or the IC tester loads must lie in the
// program directory, for each model group. The names are the string literals ending in ".bit" in
// the sources under algorithms/ and app/; the build writes the files from data/bitstreams.txt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "link/Bitstream.h"
#include "sim/BitstreamImage.h"

namespace zelvar {
namespace bitstream_names_test {

namespace fs = std::filesystem;

constexpr const char* kFolders[] = {"BLib", "BLib2", "BLib3"};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bitstream names in the sources, with the file that names each.
std::map<std::string, std::string> NamesInSources() {
  const std::regex literal(R"re("([A-Za-z0-9_.+-]+\.bit)")re");
  std::map<std::string, std::string> names;
  for (const char* root : {"algorithms", "app"}) {
    const fs::path dir = fs::path(ZELVAR_SOURCE_DIR) / root;
    if (!fs::exists(dir)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      const auto ext = entry.path().extension();
      if (ext != ".cpp" && ext != ".h") continue;
      const std::string text = ReadText(entry.path());
      for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
        names.emplace((*it)[1], entry.path().string());
      }
    }
  }
  return names;
}

TEST(BitstreamFiles, EveryNameTheSourcesLoadIsInEachFolder) {
  for (const auto& [name, source] : NamesInSources()) {
    for (const char* folder : kFolders) {
      EXPECT_TRUE(fs::exists(fs::path(folder) / name))
          << folder << "/" << name << " named in " << source
          << " is missing: add it to data/bitstreams.txt";
    }
  }
}

TEST(BitstreamFiles, EveryListedFileIsAWholeStandInBitstream) {
  std::ifstream list(fs::path(ZELVAR_SOURCE_DIR) / "data" / "bitstreams.txt");
  ASSERT_TRUE(list);
  int files = 0;
  for (std::string line; std::getline(list, line);) {
    if (line.empty() || line[0] == '#') continue;
    const auto eq = line.find('=');
    const std::string name = line.substr(0, eq);
    const std::string tag =
        eq != std::string::npos ? line.substr(eq + 1) : name.substr(0, name.size() - 4);
    for (const char* folder : kFolders) {
      const std::string text = ReadText(fs::path(folder) / name);
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
      const std::size_t start = BitstreamDataStart(bytes, text.size());
      ASSERT_LT(start, text.size()) << folder << "/" << name;
      const auto image = sim::ParseBitstream({bytes + start, bytes + text.size()});
      EXPECT_TRUE(image.whole) << folder << "/" << name;
      EXPECT_EQ(image.tag, tag) << folder << "/" << name;
      ++files;
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace bitstream_names_test
}  // namespace zelvar
