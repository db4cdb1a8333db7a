#include "player/startup/hand_over.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "player/startup/launch_args.h"

namespace kam {

std::optional<std::string> FrameHandOver(std::string_view command_line) {
  if (command_line.size() > kHandOverMaxBytes) return std::nullopt;
  std::string frame(kHandOverMagic);
  const auto n = static_cast<std::uint32_t>(command_line.size());
  for (const int shift : {24, 16, 8, 0}) frame.push_back(static_cast<char>((n >> shift) & 0xFF));
  frame.append(command_line);
  return frame;
}

HandOverReader::State HandOverReader::Refuse(std::string why) {
  why_ = std::move(why);
  header_.clear();
  body_.clear();
  return state_ = State::kBad;
}

HandOverReader::State HandOverReader::Feed(std::string_view bytes) {
  if (state_ != State::kIncomplete) return state_;
  if (header_.size() < kHandOverHeaderBytes) {
    const std::size_t take = std::min(bytes.size(), kHandOverHeaderBytes - header_.size());
    header_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    // A stranger is refused at its first wrong byte.
    const std::size_t magic_seen = std::min(header_.size(), kHandOverMagic.size());
    if (std::string_view(header_).substr(0, magic_seen) != kHandOverMagic.substr(0, magic_seen)) {
      return Refuse("not a hand-over frame");
    }
    if (header_.size() < kHandOverHeaderBytes) return state_;
    length_ = 0;
    for (std::size_t i = kHandOverMagic.size(); i < kHandOverHeaderBytes; ++i) {
      length_ = (length_ << 8) | static_cast<unsigned char>(header_[i]);
    }
    if (length_ > kHandOverMaxBytes) {
      return Refuse("argument of " + std::to_string(length_) + " bytes, more than " +
                    std::to_string(kHandOverMaxBytes));
    }
    body_.reserve(length_);
  }
  body_.append(bytes.substr(0, length_ - body_.size()));
  if (body_.size() == length_) state_ = State::kComplete;
  return state_;
}

HandOverRequest ReadHandOverArgument(std::string_view command_line) {
  const std::string decoded = DecodeLaunchArgs(command_line);
  if (decoded.empty()) return {};
  HandOverRequest request;
  request.fields = SplitLaunchArgs(decoded);
  request.kind =
      request.fields.size() == 1 ? HandOverRequest::Kind::kDrop : HandOverRequest::Kind::kOpen;
  return request;
}

bool HandOverInbox::Add(HandOverRequest request) {
  if (request.kind == HandOverRequest::Kind::kDrop) return false;
  // The latest shortcut wins; a plain show never replaces a shortcut, which shows the window too.
  if (request.kind == HandOverRequest::Kind::kOpen || !pending_) pending_ = std::move(request);
  return !settling_;
}

std::optional<HandOverRequest> HandOverInbox::Take() {
  std::optional<HandOverRequest> request = std::move(pending_);
  pending_.reset();
  settling_ = request.has_value();
  return request;
}

std::string HandOverChannelName(std::string_view program_dir_utf8) {
  // FNV-1a, 64 bits: a short, stable name for a path of any length.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : program_dir_utf8) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("kamplayer-") + hex;
}

}  // namespace kam
