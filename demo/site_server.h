// The demo catalogue site's HTTP server: static files from a root folder, a generated large body
// for benchmarks, and per-route misbehaviour for tests.
//
//   GET  /...                        a file under the root (a folder gives its index.html)
//   GET  /member/login?name=N        sets the session cookie kam_member=N (letters and digits)
//   GET  /member/whoami              the Cookie header the request carried, as text
//   GET  /sela_pid_uid.exe           the built installer when it exists, else the root's stand-in;
//                                    the settings texts then name its SHA-256 in [ver]
//   GET  /__big?bytes=N              N bytes of the pattern of big_body.h
//   GET|POST /__control?path=P&mode=M[&code=&after=&ms=&rate=&to=]
//                                    P misbehaves as M from now on ("normal" clears it)
//   GET|POST /__control?clear=all    every route behaves again
//   GET  /sela_pid_uid.exe.sig       with a signer and no such file: the installer's signature
//                                    for the version the settings texts offer (AnnouncedVersion)
//
// A misbehaving route's body is the file's bytes when P names a file, otherwise the pattern
// (length from ?bytes=, default 20000).
#pragma once

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "demo/installer_signer.h"
#include "demo/misbehaviour.h"

namespace kam::demo {

// Lets waits inside request handlers end at once when the server stops.
class StopSignal {
 public:
  // False when stopped before the time was up.
  bool WaitFor(std::chrono::milliseconds duration);
  void Stop();
  bool stopped() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
};

class SiteServer {
 public:
  // installer: where the build puts the real installer; empty to serve the stand-in always.
  explicit SiteServer(std::filesystem::path root, std::filesystem::path installer = {});
  ~SiteServer();
  SiteServer(const SiteServer&) = delete;
  SiteServer& operator=(const SiteServer&) = delete;

  MisbehaviourTable& misbehaviours() { return misbehaviours_; }
  // Signs the installer it serves (the one that "/sela_pid_uid.exe" gives) for requests of its
  // ".sig", unless the site holds such a file itself. Call before Serve.
  void SignInstallerWith(InstallerSigner signer);

  // Binds 127.0.0.1:port (0 = any free port). The bound port, or -1.
  int Bind(int port);
  // Serves until Stop; true when it ended because of Stop.
  bool Serve();
  // Safe from any thread, also from a signal-handling thread.
  void Stop();

 private:
  class Impl;
  std::filesystem::path root_;
  MisbehaviourTable misbehaviours_;
  StopSignal stop_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kam::demo
