// Without libidn2 no international host name can be checked, so none is taken.
#include "common/host_libraries.h"

namespace kam {

std::optional<std::string> DomainToAsciiUts46(std::string_view) { return std::nullopt; }

}  // namespace kam
