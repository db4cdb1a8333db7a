// How a download's options set up libcurl's easy handle: what may be fetched (http and https,
// redirects and where they may go), the connect limit, the certificates trusted and the read
// size. The transfer (http_download.cpp) adds its own callbacks and runs the handle.
#pragma once

#include <curl/curl.h>

#include <string>
#include <string_view>

#include "common/http_download.h"

namespace kam {

// Whether url is an http:// or https:// address (scheme in any case); nothing else is fetched.
bool IsHttpAddress(std::string_view url);

// The options with their floors: chunks of at least one byte, progress at most every
// millisecond.
HttpDownloadOptions WithFloors(HttpDownloadOptions options);

// Sets a fresh easy handle up to GET url under options. False when libcurl refuses the address.
bool ApplyDownloadOptions(CURL* easy, const std::string& url, const HttpDownloadOptions& options);

}  // namespace kam
