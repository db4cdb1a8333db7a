#include "update/updater_chrome.h"

#include <algorithm>

namespace kam::update {

Rect DesignRect(Control control) {
  switch (control) {
    case Control::kLabel1:
      return {128, 176, 151, 17};
    case Control::kLabel2:
      return {224, 176, 81, 17};
    case Control::kLabel3:
      return {288, 176, 121, 17};
    case Control::kBar:
      return {96, 208, 353, 33};
    case Control::kLabel5:
      return {456, 216, 60, 28};
    case Control::kImage3:
      return {216, 264, kButtonPictureWidth, kButtonPictureHeight};
    case Control::kImage6:
      return {216, 272, kButtonPictureWidth, kButtonPictureHeight};
    case Control::kLabel4:
      return {344, 288, 33, 17};
  }
  return {};
}

SentenceLefts PlaceSentence(int label1_text_width, int label2_text_width) {
  const int left1 = DesignRect(Control::kLabel1).x;
  const int left2 = std::max(DesignRect(Control::kLabel2).x, left1 + label1_text_width);
  const int left3 = std::max(DesignRect(Control::kLabel3).x, left2 + label2_text_width);
  return {left1, left2, left3};
}

ChromeLayout LayoutForSize(int width, int height) {
  const int W = width, H = height;
  return ChromeLayout{
      {0, 0, 0, H - 1},
      {W - 1, 0, W - 1, H - 1},
      {1, H - 1, W - 1, H - 1},
      {W - 40, 2, kStripPieceWidth, kStripPieceHeight},
      {W - 74, 2, kStripPieceWidth, kStripPieceHeight},
  };
}

std::vector<StripPiece> ButtonPieces(int width, bool close_hover, bool minimise_hover) {
  auto piece = [](Strip strip, int x, bool hover) {
    return StripPiece{strip,
                      {x, 2, kStripPieceWidth, kStripPieceHeight},
                      {hover ? kStripHoverX : 0, 0, kStripPieceWidth, kStripPieceHeight}};
  };
  return {piece(Strip::kClose, width - 40, close_hover),
          piece(Strip::kMinimise, width - 74, minimise_hover)};
}

void UpdaterChrome::PaintButtons(bool close_hover, bool minimise_hover) {
  close_hover_ = close_hover;
  minimise_hover_ = minimise_hover;
  view_.RepaintButtons();
}

void UpdaterChrome::SetPointer(int setting) {
  pointer_ = setting;
  view_.SetPointer(setting);
}

void UpdaterChrome::OnPaint() { PaintButtons(false, false); }

void UpdaterChrome::OnBackgroundMouseMove() {
  PaintButtons(false, false);
  view_.ShowImage3Picture(false);
  view_.ShowImage6Picture(false);
}

void UpdaterChrome::OnBackgroundPress() {
  SetPointer(kPointerCustom);
  view_.StartSystemMove();
}

void UpdaterChrome::OnCloseHitMove() {
  PaintButtons(true, false);
  SetPointer(kPointerDefault);
}

void UpdaterChrome::OnMinimiseHitMove() {
  PaintButtons(false, true);
  SetPointer(kPointerDefault);
}

void UpdaterChrome::OnMinimiseHitClick() {
  view_.Minimise();
  SetPointer(kPointerDefault);
}

void UpdaterChrome::OnImage3Move() { view_.ShowImage3Picture(true); }

void UpdaterChrome::OnImage6Move() { view_.ShowImage6Picture(true); }

}  // namespace kam::update
