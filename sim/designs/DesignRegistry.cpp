#include "sim/designs/DesignRegistry.h"

#include <utility>

namespace zelvar::sim {

namespace {
using Factory = std::unique_ptr<Design> (*)();
// One row per design: its tag and its factory. Families add their designs here.
constexpr std::pair<std::string_view, Factory> kDesigns[] = {
    {"", nullptr},
};
}  // namespace

std::unique_ptr<Design> MakeDesign(std::string_view tag) {
  for (const auto& [t, make] : kDesigns) {
    if (make && t == tag) return make();
  }
  return nullptr;
}

}  // namespace zelvar::sim
