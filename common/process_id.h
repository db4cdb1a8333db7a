#pragma once

namespace kam {

// The identifier of the calling process.
long CurrentProcessId();

}  // namespace kam
