#include "player/browse/pane_cover.h"

#include <gtest/gtest.h>

namespace kam {
namespace {

struct CoverCase {
  const char* what;
  PaneRect pane;
  PaneRect cover;
  bool cover_shown;
  bool covered;
};

class CoversPaneTest : public ::testing::TestWithParam<CoverCase> {};

TEST_P(CoversPaneTest, DecidesFromWhatShowsOfThePane) {
  const CoverCase& c = GetParam();
  EXPECT_EQ(CoversPane(c.pane, c.cover, c.cover_shown, 800, 600), c.covered) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CoversPaneTest,
    ::testing::Values(
        // The player area's own geometry: the pane reaches past the parent's bottom edge, which
        // the overlay does not; only what shows counts.
        CoverCase{"overlay over the player pane", {-2, -2, 504, 606}, {-40, -40, 580, 640}, true,
                  true},
        CoverCase{"overlay hidden", {-2, -2, 504, 606}, {-40, -40, 580, 640}, false, false},
        CoverCase{"one pixel shows on the right", {0, 0, 500, 600}, {0, 0, 499, 600}, true, false},
        CoverCase{"one pixel shows at the bottom", {0, 0, 500, 600}, {0, 0, 500, 599}, true,
                  false},
        CoverCase{"cover starts a pixel in", {0, 0, 500, 600}, {1, 0, 600, 600}, true, false},
        CoverCase{"exact fit", {10, 10, 100, 100}, {10, 10, 100, 100}, true, true},
        CoverCase{"empty cover", {10, 10, 100, 100}, {0, 0, 0, 0}, true, false},
        CoverCase{"pane outside the parent shows nothing", {900, 0, 100, 100}, {0, 0, 1, 1}, true,
                  true}));

}  // namespace
}  // namespace kam
