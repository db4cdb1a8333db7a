#include "player/window/qt/artwork_pictures.h"

#include <array>

#include "player/window/qt/artwork.h"

namespace kam::artwork {
namespace {

using window::Pic;

struct Drawing {
  Pic pic;
  QPixmap (*draw)(qreal dpr);
};

template <Caption kCaption>
QPixmap CaptionAt(qreal dpr) {
  return CaptionButton(kCaption, dpr);
}

constexpr std::array<Drawing, static_cast<int>(Pic::kCount)> kDrawings = {{
    {Pic::kTitleBar, TitleBar},
    {Pic::sp, TabSpriteLibrary},
    {Pic::bf, TabSpritePlayer},
    {Pic::sz1, CaptionAt<Caption::kSz1>},
    {Pic::sz2, CaptionAt<Caption::kSz2>},
    {Pic::min1, CaptionAt<Caption::kMin1>},
    {Pic::min2, CaptionAt<Caption::kMin2>},
    {Pic::max1, CaptionAt<Caption::kMax1>},
    {Pic::max2, CaptionAt<Caption::kMax2>},
    {Pic::max3, CaptionAt<Caption::kMax3>},
    {Pic::max4, CaptionAt<Caption::kMax4>},
    {Pic::gb1, CaptionAt<Caption::kGb1>},
    {Pic::gb2, CaptionAt<Caption::kGb2>},
    {Pic::Image12, HandlePanelShown},
    {Pic::Image13, HandlePanelHidden},
    {Pic::Image16, BinSprite},
    {Pic::Image10, PanelHeader},
    {Pic::bjimg, Placeholder},
    {Pic::logo, Logo},
}};

// The table is indexed by the name: each row stands at its name's place.
constexpr bool InNameOrder() {
  for (std::size_t i = 0; i < kDrawings.size(); ++i) {
    if (static_cast<std::size_t>(kDrawings[i].pic) != i) return false;
  }
  return true;
}
static_assert(InNameOrder(), "one drawing for each picture name, in the names' order");

}  // namespace

QPixmap DrawPicture(Pic pic, qreal dpr) {
  const auto i = static_cast<std::size_t>(pic);
  return i < kDrawings.size() ? kDrawings[i].draw(dpr) : QPixmap();
}

}  // namespace kam::artwork
