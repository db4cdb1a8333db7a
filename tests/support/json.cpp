#include "tests/support/json.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

#include "common/code_page.h"

namespace kam::testing {
namespace {

class JsonParser {
 public:
  explicit JsonParser(std::string_view s) : s_(s) {}

  std::optional<Json> Document() {
    auto v = Value();
    Blanks();
    if (!v || i_ != s_.size()) return std::nullopt;
    return v;
  }

 private:
  void Blanks() {
    while (i_ < s_.size() &&
           (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) {
      ++i_;
    }
  }
  bool Take(char c) {
    Blanks();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view w) {
    if (s_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }

  std::optional<Json> Value() {
    if (++depth_ > 200) return std::nullopt;
    Blanks();
    if (i_ >= s_.size()) return std::nullopt;
    Json v;
    const char c = s_[i_];
    if (c == '{') {
      ++i_;
      v.type = Json::Type::kObject;
      if (!Take('}')) {
        do {
          Blanks();
          auto key = String();
          if (!key || !Take(':')) return std::nullopt;
          auto member = Value();
          if (!member) return std::nullopt;
          v.object[*key] = std::move(*member);
        } while (Take(','));
        if (!Take('}')) return std::nullopt;
      }
    } else if (c == '[') {
      ++i_;
      v.type = Json::Type::kArray;
      if (!Take(']')) {
        do {
          auto item = Value();
          if (!item) return std::nullopt;
          v.array.push_back(std::move(*item));
        } while (Take(','));
        if (!Take(']')) return std::nullopt;
      }
    } else if (c == '"') {
      auto str = String();
      if (!str) return std::nullopt;
      v.type = Json::Type::kString;
      v.string = std::move(*str);
    } else if (Word("true")) {
      v.type = Json::Type::kBool;
      v.boolean = true;
    } else if (Word("false")) {
      v.type = Json::Type::kBool;
    } else if (Word("null")) {
      v.type = Json::Type::kNull;
    } else {
      auto number = Number();
      if (!number) return std::nullopt;
      v.type = Json::Type::kNumber;
      v.number = *number;
    }
    --depth_;
    return v;
  }

  // from_chars, unlike stod, never throws and ignores the locale (a Qt program sets the user's).
  std::optional<double> Number() {
    const std::size_t start = i_;
    while (i_ < s_.size() &&
           std::string_view("+-0123456789.eE").find(s_[i_]) != std::string_view::npos) {
      ++i_;
    }
    const char* first = s_.data() + start;
    const char* last = s_.data() + i_;
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last) return std::nullopt;
    return value;
  }

  std::optional<std::uint32_t> Hex4() {
    if (i_ + 4 > s_.size()) return std::nullopt;
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
      const char h = s_[i_++];
      v <<= 4;
      if (h >= '0' && h <= '9') {
        v |= static_cast<std::uint32_t>(h - '0');
      } else if (h >= 'a' && h <= 'f') {
        v |= static_cast<std::uint32_t>(h - 'a' + 10);
      } else if (h >= 'A' && h <= 'F') {
        v |= static_cast<std::uint32_t>(h - 'A' + 10);
      } else {
        return std::nullopt;
      }
    }
    return v;
  }

  std::optional<std::string> String() {
    if (i_ >= s_.size() || s_[i_] != '"') return std::nullopt;
    ++i_;
    std::string out;
    while (i_ < s_.size()) {
      const char c = s_[i_++];
      if (c == '"') return out;
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (i_ >= s_.size()) return std::nullopt;
      const char e = s_[i_++];
      // \" \\ \/ stand for themselves.
      static constexpr std::string_view kLetters = "ntrbf", kControls = "\n\t\r\b\f";
      if (const auto k = kLetters.find(e); k != std::string_view::npos) {
        out.push_back(kControls[k]);
      } else if (e != 'u') {
        out.push_back(e);
      } else {
        auto cp = Hex4();
        if (!cp) return std::nullopt;
        if (*cp >= 0xD800 && *cp < 0xDC00 && Word("\\u")) {
          auto low = Hex4();
          if (!low || *low < 0xDC00 || *low > 0xDFFF) return std::nullopt;
          *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
        }
        out += CodePointsToUtf8(std::u32string(1, static_cast<char32_t>(*cp)));
      }
    }
    return std::nullopt;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  int depth_ = 0;
};

}  // namespace

const Json& Json::operator[](const std::string& key) const {
  static const Json kNull;
  auto it = object.find(key);
  return it == object.end() ? kNull : it->second;
}

std::optional<Json> Json::Parse(std::string_view text) { return JsonParser(text).Document(); }

std::string JsonQuote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (u < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 15]);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

}  // namespace kam::testing
