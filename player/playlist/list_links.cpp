#include "player/playlist/list_links.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "common/ascii_text.h"

namespace kam::playlist {
namespace {

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  const auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                              [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
  return it != text.end() || part.empty();
}

constexpr int kTwipsPerPixel = 15;
constexpr int kBorderTwips = 40;

int TwipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

}  // namespace

LinkAction ClassifyListLink(std::string_view href) {
  if (ContainsIgnoringCase(href, "http://Play")) return LinkAction::kPlay;
  if (ContainsIgnoringCase(href, "http://ShanChu")) return LinkAction::kDelete;
  return LinkAction::kOther;
}

int EntryNumberOf(std::string_view id) {
  long long value = 0;
  for (char c : id) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
  }
  return static_cast<int>(value);
}

bool IsCancelledNavigation(std::string_view url) { return ContainsIgnoringCase(url, "pl://"); }

ContextMenuDecision DecideContextMenu(std::string_view tag_name, std::string_view id) {
  const std::string tag = LowerAscii(tag_name);
  if (tag == "html") return {false, false, 0, true};
  return {true, tag == "a", EntryNumberOf(id), false};
}

BrowserGeometry BrowserGeometryFor(int control_width, int control_height) {
  const int border = TwipsToPixels(kBorderTwips);
  const int grow = TwipsToPixels(2 * kBorderTwips);
  return {-border, -border, std::max(0, control_width) + grow, std::max(0, control_height) + grow};
}

}  // namespace kam::playlist
