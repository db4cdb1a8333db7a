// One HTTP(S) GET into one local file, on libcurl. Both programs' downloaders build on it.
//
// The body goes into a temporary file beside the target, which is renamed over the target only
// when the transfer succeeded: a 2xx final status (redirects followed), and every byte of the
// announced Content-Length. On any failure or abort the temporary file is removed and the former
// target is left exactly as it was.
//
// The call blocks the caller's thread. The callbacks run on that thread, inside the call; they are
// where a window's message pump runs, so they may re-enter (start another download, abort this
// one by returning false).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace kam {

// Why a download ended. Only kOk replaced the target.
enum class HttpDownloadResult {
  kOk,
  kBadUrl,            // not an http:// or https:// address, or one libcurl cannot parse
  kConnectFailed,     // name lookup or TCP/TLS connect failed or timed out
  kTimedOut,          // the server sent nothing for longer than the stall timeout, or the
                      // whole call took longer than its total limit
  kHttpError,         // the final status was not 2xx
  kBadContentLength,  // length required, but missing, not a number, or 0
  kIncomplete,        // the connection ended before the announced length arrived
  kTransferFailed,    // connection reset, protocol error, too many redirects, ...
  kInsecureRedirect,  // a redirect from an https address to a plain http one
  kCannotWrite,       // target write-protected, folder missing, disk full, rename refused
  kAborted,           // a callback returned false
  kTooLarge,          // the body is longer than the caller's limit (announced or as it came)
};

// A short English name for diagnostics ("ok", "http-error", ...).
std::string_view HttpDownloadResultName(HttpDownloadResult result);

struct HttpDownloadOptions {
  // Fail with kBadContentLength (nothing written) unless the final reply announces a numeric,
  // non-zero Content-Length. Without it, a reply without a length is accepted as it ends.
  bool require_content_length = false;
  // Windows: give the target the hidden attribute. Linux has no such attribute and the name is
  // the caller's, so this does nothing there.
  bool hidden = false;
  // on_chunk fires at every multiple of this many body bytes written, and once more for a
  // shorter last chunk: a 20000-byte body gives 8192, 16384, 20000, however the bytes arrive.
  std::size_t chunk_size = 8192;
  std::chrono::milliseconds connect_timeout{10000};
  // Longest silence (no header or body byte) once connected before the transfer is given up.
  std::chrono::milliseconds stall_timeout{30000};
  // Longest time for the whole call, connect and transfer together (kTimedOut past it, or
  // kConnectFailed while still connecting); zero leaves only the two limits above.
  std::chrono::milliseconds total_timeout{0};
  // on_progress fires at least this often while the call runs, even when the server is silent.
  std::chrono::milliseconds progress_interval{100};
  long max_redirects = 10;
  // The longest body taken, in bytes; zero takes any length. A reply that announces more is
  // refused before anything is written, and one that sends more is cut off as the excess comes.
  std::int64_t max_body_bytes = 0;
  // Certificates to trust instead of the system's (a test's own loopback authority).
  std::filesystem::path ca_file;
};

// Every callback is optional; each returns true to go on, false to abort (kAborted).
struct HttpDownloadCallbacks {
  // Once, for the accepted final reply, before the target's temporary file is created.
  // content_length is -1 when the reply announces none.
  std::function<bool(long status, std::int64_t content_length)> on_headers;
  // After each chunk has been written to the file; received = the chunk boundary reached.
  std::function<bool(std::int64_t received)> on_chunk;
  // Periodically (see progress_interval) and once more when the body is complete.
  // total is -1 while unknown (before the headers, or when no length was announced).
  std::function<bool(std::int64_t now, std::int64_t total)> on_progress;
  // Each piece of the accepted reply's body, in order, before it is written: what it sees is
  // exactly what the target gets. Returning false aborts before that piece is written.
  std::function<bool(std::string_view bytes)> on_body;
};

// Downloads url into target. Blocking; see the top of this file for the guarantees. Only http
// and https are fetched, redirects included, and once a request went over https no later one
// goes over plain http.
HttpDownloadResult HttpDownloadToFile(std::string_view url, const std::filesystem::path& target,
                                      const HttpDownloadOptions& options = {},
                                      const HttpDownloadCallbacks& callbacks = {});

// curl_global_init once per process (thread-safe). HttpDownloadToFile calls it itself; other
// users of libcurl call it before their first easy handle.
void EnsureCurlInitialized();

}  // namespace kam
