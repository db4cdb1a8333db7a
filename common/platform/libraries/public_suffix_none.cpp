// Without libpsl no registrable domain is known, and every host is a site of its own.
#include "common/host_libraries.h"

namespace kam {

std::optional<std::string> RegistrableDomainByList(std::string_view) { return std::nullopt; }

}  // namespace kam
