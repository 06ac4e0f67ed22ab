#include "sim/designs/DesignRegistry.h"

#include <utility>

#include "sim/designs/Zor5103.h"

namespace zelvar::sim {

namespace {
using Factory = std::unique_ptr<Design> (*)();
// One row per design: its tag and its factory. Families add their designs here.
constexpr std::pair<std::string_view, Factory> kDesigns[] = {
    {"zor5103", MakeZor5103},
};
}  // namespace

std::unique_ptr<Design> MakeDesign(std::string_view tag) {
  for (const auto& [t, make] : kDesigns) {
    if (make && t == tag) return make();
  }
  return nullptr;
}

}  // namespace zelvar::sim
