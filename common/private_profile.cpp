#include "common/private_profile.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <system_error>

#include "common/atomic_file.h"
#include "common/code_page.h"

namespace kam {
namespace {

enum class Encoding { kGbk, kUtf8, kUtf16Le };

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kBlanks = " \t\n\v\f\r";

// A profile file's bytes, seen as lines of the file's encoding.
struct Source {
  std::string_view bytes;
  Encoding encoding = Encoding::kGbk;
  std::size_t body = 0;   // first byte after the byte-order mark
  std::size_t width = 1;  // bytes per code unit
};

struct Line {
  std::size_t begin = 0;  // first byte of the line's text
  std::size_t end = 0;    // one past its text, where the line break starts
  std::size_t next = 0;   // one past the line break
};

Source OpenSource(std::string_view bytes) {
  Source s{bytes};
  if (bytes.starts_with(kUtf8Bom)) {
    s.encoding = Encoding::kUtf8;
    s.body = kUtf8Bom.size();
  } else if (bytes.starts_with(kUtf16LeBom)) {
    s.encoding = Encoding::kUtf16Le;
    s.body = kUtf16LeBom.size();
    s.width = 2;
  }
  return s;
}

// The code unit at byte i; a lone odd byte at the end of a UTF-16 file is no line break.
std::uint32_t UnitAt(const Source& s, std::size_t i) {
  if (s.width == 1) return static_cast<unsigned char>(s.bytes[i]);
  if (i + 1 >= s.bytes.size()) return 0xFFFF;
  return static_cast<unsigned char>(s.bytes[i]) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(s.bytes[i + 1])) << 8);
}

// The line starting at pos. CR and LF are never trail bytes of GBK or UTF-8, so splitting on
// code units is safe in every encoding.
Line LineAt(const Source& s, std::size_t pos) {
  Line line{pos, pos, pos};
  std::size_t i = pos;
  while (i < s.bytes.size()) {
    const std::uint32_t u = UnitAt(s, i);
    if (u == '\r' || u == '\n') break;
    i += s.width;
  }
  line.end = i < s.bytes.size() ? i : s.bytes.size();
  line.next = line.end;
  if (line.next < s.bytes.size()) {
    const bool cr = UnitAt(s, line.next) == '\r';
    line.next += s.width;
    if (cr && line.next < s.bytes.size() && UnitAt(s, line.next) == '\n') line.next += s.width;
  }
  return line;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::u32string cps;
  cps.reserve(bytes.size() / 2 + 1);
  std::size_t i = 0;
  auto unit = [&](std::size_t at) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[at]) |
                                 (static_cast<unsigned char>(bytes[at + 1]) << 8));
  };
  while (i + 1 < bytes.size()) {
    const char32_t u = unit(i);
    i += 2;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < bytes.size()) {
      const char32_t low = unit(i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cps.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    cps.push_back(u >= 0xD800 && u <= 0xDFFF ? U'\uFFFD' : u);
  }
  if (i < bytes.size()) cps.push_back(U'\uFFFD');
  return CodePointsToUtf8(cps);
}

bool IsAscii(std::string_view raw) {
  for (char c : raw) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Bytes of the file as UTF-8 text.
std::string Decode(const Source& s, std::string_view raw) {
  if (s.width == 1 && IsAscii(raw)) return std::string(raw);
  switch (s.encoding) {
    case Encoding::kGbk:
      return GbkToUtf8(raw);
    case Encoding::kUtf8:
      return CodePointsToUtf8(Utf8ToCodePoints(raw));
    case Encoding::kUtf16Le:
      return Utf16LeToUtf8(raw);
  }
  return {};
}

std::string DecodeLine(const Source& s, const Line& line) {
  return Decode(s, s.bytes.substr(line.begin, line.end - line.begin));
}

bool IsValidUtf8(std::string_view text) {
  const std::u32string cps = Utf8ToCodePoints(text);
  for (char32_t cp : cps) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
  }
  return CodePointsToUtf8(cps) == text;
}

// Text in the file's encoding, or nothing when the encoding cannot hold it exactly.
std::optional<std::string> Encode(const Source& s, std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  switch (s.encoding) {
    case Encoding::kGbk: {
      std::string gbk = Utf8ToGbk(utf8);
      if (GbkToUtf8(gbk) != utf8) return std::nullopt;
      return gbk;
    }
    case Encoding::kUtf8:
      return std::string(utf8);
    case Encoding::kUtf16Le: {
      std::string out;
      auto put = [&out](char32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
      };
      for (char32_t cp : Utf8ToCodePoints(utf8)) {
        if (cp >= 0x10000) {
          put(0xD800 + ((cp - 0x10000) >> 10));
          put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
          put(cp);
        }
      }
      return out;
    }
  }
  return std::nullopt;
}

std::string_view Trim(std::string_view t) {
  const auto first = t.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = t.find_last_not_of(kBlanks);
  return t.substr(first, last - first + 1);
}

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

enum class Kind { kOther, kSection, kKey };

// One line's meaning; the views point into the decoded text.
struct Parsed {
  Kind kind = Kind::kOther;
  std::string_view name;
  std::string_view value;
};

Parsed ParseLine(std::string_view text) {
  const std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '[') {
    const auto close = t.rfind(']');
    if (close != std::string_view::npos) return {Kind::kSection, Trim(t.substr(1, close - 1)), {}};
  }
  const auto eq = t.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view value = Trim(t.substr(eq + 1));
  if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()) {
    value = value.substr(1, value.size() - 2);
  }
  return {Kind::kKey, Trim(t.substr(0, eq)), value};
}

// Where a section and a key stand in a file: what a read returns and where a write goes.
struct Location {
  bool has_section = false;
  bool has_key = false;
  Line key_line;
  Line last_filled_line;  // last non-blank line of the section, the header at least
  std::string value;
};

Location Locate(const Source& s, std::string_view section, std::string_view key) {
  Location loc;
  bool inside = false;
  std::size_t pos = s.body;
  while (pos < s.bytes.size()) {
    const Line line = LineAt(s, pos);
    pos = line.next;
    if (s.width == 1) {
      // Most lines are settled without decoding them: blanks and "=" never occur inside a
      // multi-byte character of GBK or UTF-8, and the first byte after blanks starts one.
      const std::string_view t = Trim(s.bytes.substr(line.begin, line.end - line.begin));
      if (t.empty()) continue;
      if (t.front() != '[') {
        if (!inside) continue;
        loc.last_filled_line = line;
        const auto eq = t.find('=');
        if (eq == std::string_view::npos) continue;
        if (!SameName(Decode(s, Trim(t.substr(0, eq))), key)) continue;
      }
    }
    const std::string text = DecodeLine(s, line);
    const Parsed p = ParseLine(text);
    if (p.kind == Kind::kSection) {
      if (inside) break;  // only the first section of the name counts
      if (SameName(p.name, section)) {
        inside = true;
        loc.has_section = true;
        loc.last_filled_line = line;
      }
      continue;
    }
    if (!inside) continue;
    if (!Trim(text).empty()) loc.last_filled_line = line;
    if (p.kind == Kind::kKey && SameName(p.name, key)) {
      loc.has_key = true;
      loc.key_line = line;
      loc.value = std::string(p.value);
      break;
    }
  }
  return loc;
}

// The bytes one character takes in GBK; one for a character GBK lacks (it becomes "?").
std::size_t AnsiSize(char32_t cp) {
  if (cp < 0x80) return 1;
  const auto code = AnsiCodeOf(cp);
  return code && *code < 0 ? 2 : 1;
}

std::size_t Utf8SequenceSize(unsigned char lead) {
  return lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
}

// What the platform's buffer would hold: up to the first NUL, at most limit GBK bytes of whole
// characters. text is valid UTF-8.
std::string FitBuffer(std::string_view text, std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  const std::size_t limit = buffer_size - 1;
  text = text.substr(0, text.find('\0'));
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t len =
        std::min(Utf8SequenceSize(static_cast<unsigned char>(text[i])), text.size() - i);
    const std::u32string cp = Utf8ToCodePoints(text.substr(i, len));
    const std::size_t ansi = cp.size() == 1 ? AnsiSize(cp[0]) : len;
    if (used + ansi > limit) break;
    used += ansi;
    i += len;
  }
  return std::string(text.substr(0, i));
}

std::string DefaultResult(std::string_view default_value, std::size_t buffer_size) {
  std::string_view d = default_value.substr(0, default_value.find('\0'));
  while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
  return FitBuffer(CodePointsToUtf8(Utf8ToCodePoints(d)), buffer_size);
}

bool EndsWithLineBreak(const Source& s) {
  if (s.bytes.size() < s.body + s.width) return false;
  const std::uint32_t last = UnitAt(s, s.bytes.size() - s.width);
  return last == '\r' || last == '\n';
}

// A value that reads back unchanged only inside quotes gets them.
std::string QuotedIfNeeded(std::string_view value) {
  const bool needs =
      !value.empty() &&
      (IsBlank(value.front()) || IsBlank(value.back()) ||
       (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()));
  if (!needs) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted.push_back('"');
  quoted.append(value);
  quoted.push_back('"');
  return quoted;
}

bool HasLineBreakOrNul(std::string_view t) {
  return t.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The bytes of a regular file; nothing for a missing file, a folder or a read error.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  try {
    return ReadFileBytes(file);
  } catch (const std::exception&) {
    return std::nullopt;  // the stream library reports some read errors by throwing
  }
}

}  // namespace

std::string ReadProfileValue(std::string_view file_bytes, std::string_view section,
                             std::string_view key, std::string_view default_value,
                             std::size_t buffer_size) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty()) return DefaultResult(default_value, buffer_size);
  const Location loc = Locate(OpenSource(file_bytes), section, key);
  if (!loc.has_key) return DefaultResult(default_value, buffer_size);
  return FitBuffer(loc.value, buffer_size);
}

std::string ReadProfileFile(const std::filesystem::path& file, std::string_view section,
                            std::string_view key, std::string_view default_value,
                            std::size_t buffer_size) {
  const auto bytes = ReadRegularFile(file);
  if (!bytes) return DefaultResult(default_value, buffer_size);
  return ReadProfileValue(*bytes, section, key, default_value, buffer_size);
}

std::optional<std::string> ProfileWithValue(std::string_view file_bytes, std::string_view section,
                                            std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty()) return std::nullopt;
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
    return std::nullopt;
  }
  if (key.find('=') != std::string_view::npos || key.front() == '[') return std::nullopt;

  const Source s = OpenSource(file_bytes);
  // A UTF-16 file cut inside a code unit is damaged; writing into it would misalign the rest.
  if ((file_bytes.size() - s.body) % s.width != 0) return std::nullopt;
  const std::string key_line = std::string(key) + "=" + QuotedIfNeeded(value);
  const Location loc = Locate(s, section, key);

  std::size_t from = file_bytes.size();
  std::size_t to = file_bytes.size();
  std::string text;
  if (loc.has_key) {
    from = loc.key_line.begin;
    to = loc.key_line.end;
    text = key_line;
  } else if (loc.has_section) {
    const Line& last = loc.last_filled_line;
    from = to = last.next;
    text = (last.next == last.end ? "\r\n" : "") + key_line + "\r\n";
  } else {
    const bool needs_break = file_bytes.size() > s.body && !EndsWithLineBreak(s);
    text = (needs_break ? "\r\n[" : "[") + std::string(section) + "]\r\n" + key_line + "\r\n";
  }
  const auto encoded = Encode(s, text);
  if (!encoded) return std::nullopt;
  std::string out;
  out.reserve(file_bytes.size() + encoded->size());
  out.append(file_bytes.substr(0, from));
  out.append(*encoded);
  out.append(file_bytes.substr(to));
  return out;
}

bool WriteProfileFile(const std::filesystem::path& file, std::string_view section,
                      std::string_view key, std::string_view value) {
  std::error_code ec;
  std::string bytes;
  if (std::filesystem::exists(file, ec)) {
    auto read = ReadRegularFile(file);
    if (!read) return false;
    bytes = std::move(*read);
  } else if (ec) {
    return false;
  }
  const auto updated = ProfileWithValue(bytes, section, key, value);
  if (!updated) return false;
  return WriteFileAtomically(file, *updated);
}

}  // namespace kam
