// One profile per board model the program knows. Generated from the product data; until the
// generator has run the catalog is empty and only the hand-written examples exist.
#include "sim/board/board_profile.h"

namespace veltrix::sim {

std::span<const BoardProfile> CatalogProfiles() {
  return {};
}

}  // namespace veltrix::sim
