#include "common/site_address.h"

#include "common/ascii_text.h"
#include "common/host_libraries.h"
#include "common/url_host.h"

namespace kam {
namespace {

bool IsTabOrNewline(char c) { return c == '\t' || c == '\n' || c == '\r'; }
bool IsC0OrSpace(char c) { return static_cast<unsigned char>(c) <= 0x20; }
bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSchemeChar(char c) {
  return IsAsciiAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The userinfo's bytes with every character that could end or split an authority escaped.
std::string EncodeUserinfoPart(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  static constexpr std::string_view kEscaped = " \"#<>?`{}/:;=@[\\]^|";
  std::string out;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F || kEscaped.find(c) != std::string_view::npos) {
      out.push_back('%');
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 0xF]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string EncodeUserinfo(std::string_view userinfo) {
  const std::size_t colon = userinfo.find(':');
  if (colon == std::string_view::npos) return EncodeUserinfoPart(userinfo);
  return EncodeUserinfoPart(userinfo.substr(0, colon)) + ":" +
         EncodeUserinfoPart(userinfo.substr(colon + 1));
}

// The port text of an authority: digits only, at most 65535; empty gives the default.
std::optional<int> ParsePort(std::string_view text, int default_port) {
  if (text.empty()) return default_port;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 65535) return std::nullopt;
  }
  return static_cast<int>(value);
}

}  // namespace

std::string WebAddress::Text() const {
  std::string out = scheme + "://";
  if (!userinfo.empty()) out += userinfo + "@";
  out += host;
  const int default_port = scheme == "https" ? 443 : 80;
  if (port != default_port) out += ":" + std::to_string(port);
  out += rest;
  return out;
}

std::optional<WebAddress> ParseWebAddress(std::string_view raw) {
  while (!raw.empty() && IsC0OrSpace(raw.front())) raw.remove_prefix(1);
  while (!raw.empty() && IsC0OrSpace(raw.back())) raw.remove_suffix(1);
  std::string text;
  text.reserve(raw.size());
  for (char c : raw) {
    if (!IsTabOrNewline(c)) text.push_back(c);
  }

  std::size_t i = 0;
  if (text.empty() || !IsAsciiAlpha(text[0])) return std::nullopt;
  while (i < text.size() && IsSchemeChar(text[i])) ++i;
  if (i >= text.size() || text[i] != ':') return std::nullopt;
  WebAddress a;
  a.scheme = LowerAscii(std::string_view(text).substr(0, i));
  if (a.scheme != "http" && a.scheme != "https") return std::nullopt;
  const int default_port = a.scheme == "https" ? 443 : 80;
  ++i;
  while (i < text.size() && (text[i] == '/' || text[i] == '\\')) ++i;

  const std::size_t end = text.find_first_of("/\\?#", i);
  const std::string_view authority =
      std::string_view(text).substr(i, end == std::string::npos ? end : end - i);
  std::string_view host_port = authority;
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    a.userinfo = EncodeUserinfo(authority.substr(0, at));
    host_port = authority.substr(at + 1);
  }
  // The port follows the first ":" outside an IPv6 address's brackets.
  std::size_t colon = std::string_view::npos;
  bool in_brackets = false;
  for (std::size_t k = 0; k < host_port.size() && colon == std::string_view::npos; ++k) {
    if (host_port[k] == '[') in_brackets = true;
    if (host_port[k] == ']') in_brackets = false;
    if (host_port[k] == ':' && !in_brackets) colon = k;
  }
  const std::optional<std::string> host = CanonicalHost(host_port.substr(0, colon));
  if (!host) return std::nullopt;
  a.host = *host;
  const std::optional<int> port =
      ParsePort(colon == std::string_view::npos ? std::string_view() : host_port.substr(colon + 1),
                default_port);
  if (!port) return std::nullopt;
  a.port = *port;

  if (end != std::string::npos) {
    a.rest = text.substr(end);
    const std::size_t path_end = a.rest.find_first_of("?#");
    for (std::size_t k = 0; k < a.rest.size() && k < path_end; ++k) {
      if (a.rest[k] == '\\') a.rest[k] = '/';
    }
  }
  return a;
}

bool SameOrigin(const WebAddress& a, const WebAddress& b) {
  return a.scheme == b.scheme && a.host == b.host && a.port == b.port;
}

std::optional<std::string> AddressOnSite(std::string_view address, std::string_view site) {
  const std::optional<WebAddress> base = ParseWebAddress(site);
  if (!base) return std::nullopt;
  const std::optional<WebAddress> target = ParseWebAddress(address);
  if (!target || !SameOrigin(*base, *target)) return std::nullopt;
  return target->Text();
}

std::optional<std::string> JoinOnSite(std::string_view site, std::string_view rest) {
  std::string joined(site);
  joined.append(rest);
  return AddressOnSite(joined, site);
}

std::string SiteOfHost(std::string_view canonical_host) {
  if (IsIpAddressHost(canonical_host)) return std::string(canonical_host);
  std::string_view domain = canonical_host;
  if (domain.size() > 1 && domain.back() == '.') domain.remove_suffix(1);
  if (const auto registrable = RegistrableDomainByList(domain)) return *registrable;
  return std::string(domain);
}

bool OnSameSite(std::string_view address, std::string_view site) {
  const std::optional<WebAddress> base = ParseWebAddress(site);
  const std::optional<WebAddress> target = ParseWebAddress(address);
  return base && target && SiteOfHost(base->host) == SiteOfHost(target->host);
}

std::optional<std::string> AnyWebAddress(std::string_view address) {
  const std::optional<WebAddress> target = ParseWebAddress(address);
  if (!target) return std::nullopt;
  return target->Text();
}

}  // namespace kam
