// The Public Suffix List through libpsl: the newer of the library's built-in list and the
// system's copy of the list (Debian's publicsuffix package keeps it current).
#include <libpsl.h>

#include "common/host_libraries.h"

namespace kam {
namespace {

const psl_ctx_t* List() {
  static const psl_ctx_t* const list = [] {
    const psl_ctx_t* latest = psl_latest(nullptr);
    return latest != nullptr ? latest : psl_builtin();
  }();
  return list;
}

}  // namespace

std::optional<std::string> RegistrableDomainByList(std::string_view ascii_domain) {
  const psl_ctx_t* list = List();
  if (list == nullptr || ascii_domain.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string domain(ascii_domain);
  const char* registrable = psl_registrable_domain(list, domain.c_str());
  if (registrable == nullptr) return std::nullopt;
  return std::string(registrable);
}

}  // namespace kam
