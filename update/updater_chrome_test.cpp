#include "update/updater_chrome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam::update {
namespace {

using ::testing::ElementsAre;

class RecordingView : public ChromeView {
 public:
  void RepaintButtons() override { calls.push_back("repaint"); }
  void ShowImage3Picture(bool hover) override {
    calls.push_back(hover ? "image3 hover" : "image3 normal");
  }
  void ShowImage6Picture(bool hover) override {
    calls.push_back(hover ? "image6 hover" : "image6 normal");
  }
  void SetPointer(int setting) override { calls.push_back("pointer " + std::to_string(setting)); }
  void StartSystemMove() override { calls.push_back("move"); }
  void Minimise() override { calls.push_back("minimise"); }
  std::vector<std::string> calls;
};

TEST(UpdaterLayout, DesignPositions) {
  EXPECT_EQ(DesignRect(Control::kLabel1), (Rect{128, 176, 151, 17}));
  EXPECT_EQ(DesignRect(Control::kLabel2), (Rect{224, 176, 81, 17}));
  EXPECT_EQ(DesignRect(Control::kLabel3), (Rect{288, 176, 121, 17}));
  EXPECT_EQ(DesignRect(Control::kBar), (Rect{96, 208, 353, 33}));
  EXPECT_EQ(DesignRect(Control::kLabel5), (Rect{456, 216, 60, 28}));
  EXPECT_EQ(DesignRect(Control::kImage3), (Rect{216, 264, 109, 31}));
  EXPECT_EQ(DesignRect(Control::kImage6), (Rect{216, 272, 109, 31}));
  EXPECT_EQ(DesignRect(Control::kLabel4), (Rect{344, 288, 33, 17}));
}

TEST(UpdaterLayout, SentenceKeepsDesignPositionsUnlessTextWouldOverlap) {
  // "您当前使用的" and "已是最新" at 14 pixels a character fit their design places.
  EXPECT_EQ(PlaceSentence(84, 56), (SentenceLefts{128, 224, 288}));
  // "检测到当前最新版为" (126 pixels) runs past 224: the version follows it, the rest follows
  // the version.
  EXPECT_EQ(PlaceSentence(126, 40), (SentenceLefts{128, 254, 294}));
  EXPECT_EQ(PlaceSentence(126, 20), (SentenceLefts{128, 254, 288}));
}

TEST(UpdaterLayout, FrameLinesAndHitAreasFollowTheSize) {
  ChromeLayout layout = LayoutForSize(548, 350);
  EXPECT_EQ(layout.left, (Line{0, 0, 0, 349}));
  EXPECT_EQ(layout.right, (Line{547, 0, 547, 349}));
  EXPECT_EQ(layout.bottom, (Line{1, 349, 547, 349}));
  EXPECT_EQ(layout.close_hit, (Rect{508, 2, 32, 24}));
  EXPECT_EQ(layout.minimise_hit, (Rect{474, 2, 32, 24}));
  ChromeLayout wide = LayoutForSize(800, 400);
  EXPECT_EQ(wide.close_hit.x, 760);
  EXPECT_EQ(wide.minimise_hit.x, 726);
  EXPECT_EQ(wide.bottom, (Line{1, 399, 799, 399}));
}

TEST(UpdaterLayout, ButtonPiecesSitUnderTheHitAreas) {
  auto normal = ButtonPieces(548, false, false);
  ASSERT_EQ(normal.size(), 2u);
  EXPECT_EQ(normal[0], (StripPiece{Strip::kClose, {508, 2, 32, 24}, {0, 0, 32, 24}}));
  EXPECT_EQ(normal[1], (StripPiece{Strip::kMinimise, {474, 2, 32, 24}, {0, 0, 32, 24}}));
  auto hover = ButtonPieces(548, true, true);
  EXPECT_EQ(hover[0].source, (Rect{64, 0, 32, 24}));
  EXPECT_EQ(hover[1].source, (Rect{64, 0, 32, 24}));
  ChromeLayout layout = LayoutForSize(548, 350);
  EXPECT_EQ(normal[0].target, layout.close_hit);
  EXPECT_EQ(normal[1].target, layout.minimise_hit);
}

TEST(UpdaterChrome, HoverOverTheButtonsAndBackToTheBackground) {
  RecordingView view;
  UpdaterChrome chrome(view);
  chrome.OnCloseHitMove();
  EXPECT_TRUE(chrome.close_hover());
  EXPECT_FALSE(chrome.minimise_hover());
  chrome.OnMinimiseHitMove();
  EXPECT_FALSE(chrome.close_hover());
  EXPECT_TRUE(chrome.minimise_hover());
  chrome.OnBackgroundMouseMove();
  EXPECT_FALSE(chrome.close_hover());
  EXPECT_FALSE(chrome.minimise_hover());
  EXPECT_THAT(view.calls, ElementsAre("repaint", "pointer 0", "repaint", "pointer 0", "repaint",
                                      "image3 normal", "image6 normal"));
}

TEST(UpdaterChrome, PaintShowsBothButtonsNormal) {
  RecordingView view;
  UpdaterChrome chrome(view);
  chrome.OnCloseHitMove();
  chrome.OnPaint();
  EXPECT_FALSE(chrome.close_hover());
}

TEST(UpdaterChrome, PointerStaysCustomAfterADragUntilATitleBarButton) {
  RecordingView view;
  UpdaterChrome chrome(view);
  chrome.OnBackgroundPress();
  EXPECT_EQ(chrome.pointer(), kPointerCustom);
  chrome.OnBackgroundMouseMove();
  chrome.OnImage6Move();
  EXPECT_EQ(chrome.pointer(), kPointerCustom);
  chrome.OnMinimiseHitMove();
  EXPECT_EQ(chrome.pointer(), kPointerDefault);
  chrome.OnBackgroundPress();
  chrome.OnMinimiseHitClick();
  EXPECT_EQ(chrome.pointer(), kPointerDefault);
  EXPECT_THAT(view.calls, ElementsAre("pointer 99", "move", "repaint", "image3 normal",
                                      "image6 normal", "image6 hover", "repaint", "pointer 0",
                                      "pointer 99", "move", "minimise", "pointer 0"));
}

TEST(UpdaterChrome, ButtonPicturesSwapOnHoverAndReturnOverTheBackground) {
  RecordingView view;
  UpdaterChrome chrome(view);
  chrome.OnImage3Move();
  chrome.OnImage6Move();
  chrome.OnBackgroundMouseMove();
  EXPECT_THAT(view.calls, ElementsAre("image3 hover", "image6 hover", "repaint", "image3 normal",
                                      "image6 normal"));
}

}  // namespace
}  // namespace kam::update
