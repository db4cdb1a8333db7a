// kam_demo_server: serves the demo catalogue site on 127.0.0.1.
//
//   kam_demo_server [--port N] [--root DIR] [--installer FILE|none] [--installer-key PEM]
//                   [--misbehave /path=mode[,key=value...]]...
//
// /sela_pid_uid.exe is the build's installer once built (--installer names another file, "none"
// keeps the site's stand-in script). /sela_pid_uid.exe.sig is its signature, for the version the
// site's settings texts offer, by the Ed25519 private key --installer-key names (default: the
// demo key; an empty name serves none).
// --port 0 picks a free port. The first line on stdout names the address being served, so a
// parent process can read the port from it. SIGTERM or SIGINT stop the server cleanly.
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "build_config.h"
#include "demo/misbehaviour.h"
#include "demo/site_server.h"

namespace {

struct Options {
  int port = kam::build::kDemoPort;
  std::filesystem::path root = std::filesystem::path(kam::build::kSourceDir) / "demo" / "site";
  std::filesystem::path installer =
      std::filesystem::path(kam::build::kBuildDir) / "installer" / "sela_pid_uid.exe";
  std::filesystem::path installer_key = std::filesystem::path(kam::build::kSourceDir) / "demo" /
                                        "keys" / "demo_installer_ed25519.pem";
  std::vector<std::pair<std::string, kam::demo::Misbehaviour>> misbehaviours;
};

void Usage() {
  std::fprintf(stderr,
               "usage: kam_demo_server [--port N] [--root DIR] [--installer FILE|none] "
               "[--installer-key PEM] "
               "[--misbehave /path=mode[,key=value...]]...\n"
               "modes: 404 500 status(code=) zero-length chunked until-close bad-length\n"
               "       cut(after=) stall(ms=,after=) slow(rate=) reset(after=) redirect(to=)\n");
}

bool ParsePort(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != text.npos) {
    return false;
  }
  port = std::stoi(std::string(text));
  return port <= 65535;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--port" && has_value) {
      if (!ParsePort(argv[++i], options.port)) return false;
    } else if (arg == "--root" && has_value) {
      options.root = argv[++i];
    } else if (arg == "--installer" && has_value) {
      const std::string_view file = argv[++i];
      options.installer = file == "none" ? std::filesystem::path() : std::filesystem::path(file);
    } else if (arg == "--installer-key" && has_value) {
      options.installer_key = argv[++i];
    } else if (arg == "--misbehave" && has_value) {
      auto parsed = kam::demo::ParseMisbehaviourFlag(argv[++i]);
      if (!parsed) {
        std::fprintf(stderr, "kam_demo_server: bad --misbehave %s\n", argv[i]);
        return false;
      }
      options.misbehaviours.push_back(std::move(*parsed));
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    Usage();
    return 2;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(options.root, ec)) {
    std::fprintf(stderr, "kam_demo_server: no site folder %s\n", options.root.string().c_str());
    return 2;
  }

  // Signals are taken by one thread with sigwait, so the worker threads never see them and the
  // stop runs as ordinary code rather than inside a handler.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  kam::demo::SiteServer server(options.root, options.installer);
  if (!options.installer_key.empty()) {
    auto signer = kam::demo::InstallerSigner::FromPemFile(options.installer_key);
    if (!signer) {
      std::fprintf(stderr, "kam_demo_server: no Ed25519 private key in %s\n",
                   options.installer_key.string().c_str());
      return 2;
    }
    server.SignInstallerWith(std::move(*signer));
  }
  for (auto& [path, misbehaviour] : options.misbehaviours) {
    server.misbehaviours().Set(path, misbehaviour);
  }
  const int port = server.Bind(options.port);
  if (port <= 0) {
    std::fprintf(stderr, "kam_demo_server: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  std::printf("kam_demo_server: serving %s on http://127.0.0.1:%d/\n",
              options.root.string().c_str(), port);
  std::fflush(stdout);

  std::thread signal_thread([&server, stop_signals] {
    int received = 0;
    sigwait(&stop_signals, &received);
    server.Stop();
  });
  server.Serve();
  // Serve can also end on its own (a failed listen); let the signal thread go in that case.
  pthread_kill(signal_thread.native_handle(), SIGTERM);
  signal_thread.join();
  return 0;
}
