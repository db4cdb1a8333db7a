// Addresses come from pages, settings and stored lists: reading one never fails hard, what it
// gives reads back the same, and the text handed on names its host where any URL parser looks for
// it, so a joined address accepted for the site is on the site whichever parser opens it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/site_address.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Host and port as a plain parser finds them: after "://", up to the first "/", "?" or "#",
// after the last "@".
std::string NaiveHostPort(const std::string& text) {
  const std::size_t start = text.find("://") + 3;
  const std::size_t end = text.find_first_of("/?#", start);
  std::string authority = text.substr(start, end == std::string::npos ? end : end - start);
  Check(authority.find('\\') == std::string::npos);
  const std::size_t at = authority.rfind('@');
  return at == std::string::npos ? authority : authority.substr(at + 1);
}

void CheckText(const kam::WebAddress& a) {
  const std::string text = a.Text();
  const auto again = kam::ParseWebAddress(text);
  Check(again.has_value());
  Check(again->Text() == text);
  Check(kam::SameOrigin(a, *again));
  // Whatever the host, it is on its own site.
  Check(kam::OnSameSite(text, text));
  const int default_port = a.scheme == "https" ? 443 : 80;
  Check(NaiveHostPort(text) ==
        (a.port == default_port ? a.host : a.host + ":" + std::to_string(a.port)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string site = in.ConsumeRandomLengthString(64);
  const std::string rest = in.ConsumeRemainingBytesAsString();

  if (const auto a = kam::ParseWebAddress(rest)) CheckText(*a);
  const auto base = kam::ParseWebAddress(site);
  if (base) CheckText(*base);
  const auto joined = kam::JoinOnSite(site, rest);
  Check(!joined || base);
  if (joined) {
    const auto a = kam::ParseWebAddress(*joined);
    Check(a && kam::SameOrigin(*a, *base));
    Check(kam::OnSameSite(*joined, site));
    CheckText(*a);
  }
  return 0;
}
