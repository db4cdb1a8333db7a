// The stored pictures of the progress bar's four looks (background and fill of each).
#pragma once

#include <cstdint>

#include "update/raster.h"

namespace kam::update {

struct LookImages {
  RgbImage background;
  RgbImage fill;
};

// look 0..3; any other number gives look 0's pictures.
const LookImages& LookImagesOf(std::int32_t look);

}  // namespace kam::update
