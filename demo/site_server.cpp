#include "demo/site_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "common/atomic_file.h"
#include "demo/big_body.h"
#include "demo/installer_source.h"
#include "demo/raw_connection.h"

namespace kam::demo {
namespace {

namespace fs = std::filesystem;
using httplib::DataSink;
using httplib::Request;
using httplib::Response;

constexpr std::uint64_t kDefaultPatternBytes = 20000;
constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
constexpr std::size_t kPiece = 64 * 1024;
constexpr const char kHtml[] = "text/html; charset=utf-8";
constexpr const char kSignatureType[] = "text/plain; charset=us-ascii";

struct ExtensionType {
  const char* extension;
  const char* type;
};

// The settings texts are GBK and are served as their bytes; the label is for people.
constexpr ExtensionType kContentTypes[] = {
    {"html", kHtml},
    {"htm", kHtml},
    {"css", "text/css; charset=utf-8"},
    {"js", "text/javascript; charset=utf-8"},
    {"txt", "text/plain; charset=gbk"},
    {"svg", "image/svg+xml"},
    {"png", "image/png"},
    {"jpg", "image/jpeg"},
    {"gif", "image/gif"},
    {"ico", "image/x-icon"},
    {"exe", "application/octet-stream"},
    {"json", "application/json"},
    {"mp4", "video/mp4"},
    {"webm", "video/webm"},
    {"m3u8", "application/vnd.apple.mpegurl"},
    {"ts", "video/mp2t"},
};

std::string ContentTypeOf(const fs::path& file) {
  std::string extension = file.extension().string();
  if (!extension.empty()) extension.erase(0, 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const auto& entry : kContentTypes) {
    if (extension == entry.extension) return entry.type;
  }
  return "application/octet-stream";
}

// What a misbehaving route would have sent had it behaved: a file's bytes or the pattern.
struct Body {
  std::uint64_t size = 0;
  std::string type = "application/octet-stream";
  std::shared_ptr<const std::string> bytes;  // null: the pattern

  void Read(std::uint64_t offset, char* out, std::size_t count) const {
    if (bytes) {
      std::copy_n(bytes->data() + offset, count, out);
    } else {
      FillBigBody(offset, out, count);
    }
  }
};

std::uint64_t PatternSize(const Request& req, std::uint64_t fallback) {
  if (!req.has_param("bytes")) return fallback;
  const std::string text = req.get_param_value("bytes");
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
      text.size() > 15) {
    return fallback;
  }
  return std::stoull(text);
}

// A file under root for a request path; nothing for paths that climb out or name no file.
std::optional<fs::path> FileFor(const fs::path& root, const std::string& path) {
  if (path.empty() || path.front() != '/' || path.find("..") != std::string::npos) {
    return std::nullopt;
  }
  fs::path file = root / fs::path(path.substr(1));
  std::error_code ec;
  if (fs::is_directory(file, ec)) file /= "index.html";
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  return file;
}

std::shared_ptr<Body> BodyOfBytes(std::string bytes, std::string type) {
  auto body = std::make_shared<Body>();
  body->size = bytes.size();
  body->type = std::move(type);
  body->bytes = std::make_shared<const std::string>(std::move(bytes));
  return body;
}

// What the site serves that is not a file as it lies: the installer (the built one, when there
// is one), its signature for the version the settings texts offer when there is a signer and the
// site holds no such file, and the settings texts naming its digest. Null for every other path.
std::shared_ptr<const Body> GeneratedBody(const fs::path& root, const InstallerSource& installer,
                                          const std::optional<InstallerSigner>& signer,
                                          const std::string& path) {
  if (signer && path == std::string(kInstallerPath) + ".sig" && !FileFor(root, path)) {
    const auto bytes = installer.Bytes();
    const auto version = AnnouncedVersion(root);
    if (!bytes || !version) return nullptr;
    std::string text = signer->UpdateSignatureText(*version, *bytes);
    if (text.empty()) return nullptr;
    return BodyOfBytes(std::move(text), kSignatureType);
  }
  if (path == kInstallerPath) {
    auto bytes = installer.Bytes();
    if (!bytes) return nullptr;
    return BodyOfBytes(std::move(*bytes), "application/octet-stream");
  }
  if (IsSettingsText(path)) {
    const auto digest = installer.BuiltDigest();
    const auto file = FileFor(root, path);
    if (!digest || !file) return nullptr;
    auto text = SettingsWithDigest(ReadFileBytes(*file).value_or(""), *digest);
    return BodyOfBytes(std::move(text), ContentTypeOf(*file));
  }
  return nullptr;
}

std::shared_ptr<const Body> BodyFor(const fs::path& root, const InstallerSource& installer,
                                    const std::optional<InstallerSigner>& signer,
                                    const Request& req) {
  if (auto generated = GeneratedBody(root, installer, signer, req.path)) return generated;
  auto body = std::make_shared<Body>();
  if (const auto file = FileFor(root, req.path)) {
    std::ifstream in(*file, std::ios::binary);
    auto bytes = std::make_shared<std::string>(std::istreambuf_iterator<char>(in),
                                               std::istreambuf_iterator<char>());
    body->size = bytes->size();
    body->type = ContentTypeOf(*file);
    body->bytes = std::move(bytes);
  } else {
    body->size = PatternSize(req, kDefaultPatternBytes);
  }
  return body;
}

std::string StatusPage(int status, std::string_view words) {
  return "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" +
         std::to_string(status) + "</title></head><body><h1>" + std::to_string(status) + " " +
         std::string(words) + "</h1><p>kam demo server</p></body></html>\n";
}

// How a body is streamed: at full speed or at a rate, with an optional pause, and either to its
// end or to a point where the connection is closed or reset.
struct StreamPlan {
  std::uint64_t pause_at = kNever;
  std::chrono::milliseconds pause{0};
  std::uint64_t end_at = kNever;
  bool reset_at_end = false;
  std::int64_t rate = 0;  // bytes per second; 0 = as fast as the socket takes it
};

}  // namespace

bool StopSignal::WaitFor(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, duration, [this] { return stopped_; });
}

void StopSignal::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
}

bool StopSignal::stopped() const {
  std::lock_guard lock(mutex_);
  return stopped_;
}

class SiteServer::Impl {
 public:
  Impl(const fs::path& root, const fs::path& installer, MisbehaviourTable& table, StopSignal& stop)
      : root_(root), installer_(installer, root), table_(table), stop_(stop) {
    // Stalled and slowed routes each hold a worker; leave room for the rest of the site.
    server_.new_task_queue = [] { return new httplib::ThreadPool(32); };
    server_.set_default_headers({{"Cache-Control", "no-cache"}});
    server_.set_keep_alive_timeout(2);
    // The library's default adds SO_REUSEPORT, which would let a second server share the port
    // and take some of the first one's requests. A busy port must be an error.
    server_.set_socket_options([](socket_t sock) {
      int yes = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    for (const auto& entry : kContentTypes) {
      server_.set_file_extension_and_mimetype_mapping(entry.extension, entry.type);
    }
    server_.set_mount_point("/", root_.string());
    server_.set_pre_routing_handler([this](const Request& req, Response& res) {
      return Route(req, res) ? httplib::Server::HandlerResponse::Handled
                             : httplib::Server::HandlerResponse::Unhandled;
    });
    server_.set_error_handler([](const Request&, Response& res) {
      if (res.body.empty()) res.set_content(StatusPage(res.status, "kam demo server"), kHtml);
    });
  }

  httplib::Server& server() { return server_; }
  void SignInstallerWith(InstallerSigner signer) { signer_ = std::move(signer); }

 private:
  bool Route(const Request& req, Response& res) {
    if (req.path == "/__control") {
      Control(req, res);
      return true;
    }
    if (const auto misbehaviour = table_.Find(req.path)) {
      Misbehave(req, res, *misbehaviour);
      return true;
    }
    if (req.path == "/member/login") {
      Login(req, res);
      return true;
    }
    if (req.path == "/member/whoami") {
      // What the browser sent back: the site's own login check.
      res.set_content(req.get_header_value("Cookie"), "text/plain; charset=utf-8");
      return true;
    }
    if (req.path == "/member/stamp") {
      // A different answer each time, which the browser may keep for a day: a page that reads
      // the same one after a restart read it from the disk cache.
      res.headers.erase("Cache-Control");
      res.set_header("Cache-Control", "private, max-age=86400");
      res.set_content("stamp " + std::to_string(++stamps_) + "\n", "text/plain; charset=utf-8");
      return true;
    }
    if (req.path == "/__big") {
      auto body = std::make_shared<Body>();
      body->size = PatternSize(req, 1 << 20);
      Stream(req, res, body, StreamPlan{});
      return true;
    }
    if (const auto body = GeneratedBody(root_, installer_, signer_, req.path)) {
      Stream(req, res, body, StreamPlan{});
      return true;
    }
    return false;
  }

  // A member's login: a session cookie (no expiry), as a catalogue site keeps its members in.
  static void Login(const Request& req, Response& res) {
    std::string name = req.get_param_value("name");
    name.erase(
        std::remove_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }),
        name.end());
    if (name.empty()) name = "guest";
    res.set_header("Set-Cookie", "kam_member=" + name + "; Path=/; HttpOnly");
    res.set_content("welcome " + name + "\n", "text/plain; charset=utf-8");
  }

  void Control(const Request& req, Response& res) {
    if (req.get_param_value("clear") == "all") {
      table_.ClearAll();
      res.set_content("ok: every route behaves\n", "text/plain");
      return;
    }
    const std::string path = req.get_param_value("path");
    const std::string mode = req.get_param_value("mode");
    if (path.empty() || path.front() != '/' || mode.empty()) {
      res.status = 400;
      res.set_content("need path=/... and mode=...\n", "text/plain");
      return;
    }
    if (mode == "normal") {
      table_.Clear(path);
      res.set_content("ok: " + path + " behaves\n", "text/plain");
      return;
    }
    const auto misbehaviour =
        ParseMisbehaviour(mode, [&req](std::string_view name) -> std::optional<std::string> {
          const std::string key(name);
          if (!req.has_param(key.c_str())) return std::nullopt;
          return req.get_param_value(key.c_str());
        });
    if (!misbehaviour) {
      res.status = 400;
      res.set_content("unknown mode or bad number: " + mode + "\n", "text/plain");
      return;
    }
    table_.Set(path, *misbehaviour);
    res.set_content("ok: " + path + " " + mode + "\n", "text/plain");
  }

  void Misbehave(const Request& req, Response& res, const Misbehaviour& how) {
    const auto body = BodyFor(root_, installer_, signer_, req);
    const std::uint64_t after =
        how.after < 0 ? kNever : std::min<std::uint64_t>(how.after, body->size);
    StreamPlan plan;
    switch (how.mode) {
      case Mode::kNotFound:
        res.status = 404;
        res.set_content(StatusPage(404, "找不到该页面"), kHtml);
        return;
      case Mode::kStatus:
        res.status = how.status;
        res.set_content(StatusPage(how.status, "服务器出错了"), kHtml);
        return;
      case Mode::kZeroLength:
        res.set_content("", body->type);
        return;
      case Mode::kChunked:
        res.set_chunked_content_provider(body->type, Unsized(body));
        return;
      case Mode::kUntilClose:
        // The library keeps such connections alive for a while; the end must be the close.
        WriteRaw(req, res, "", *body);
        return;
      case Mode::kBadLength:
        WriteRaw(req, res, "Content-Length: abc\r\n", *body);
        return;
      case Mode::kCutShort:
        plan.end_at = after == kNever ? body->size / 2 : after;
        break;
      case Mode::kStall:
        if (after == kNever) {
          if (!stop_.WaitFor(how.wait)) {
            res.status = 503;
            return;
          }
        } else {
          plan.pause_at = after;
          plan.pause = how.wait;
        }
        break;
      case Mode::kSlow:
        plan.rate = how.rate;
        break;
      case Mode::kReset:
        if (after == kNever) {
          ResetConnection(FindConnectionSocket(req.remote_addr, req.remote_port));
          return;
        }
        plan.end_at = after;
        plan.reset_at_end = true;
        break;
      case Mode::kRedirect:
        res.set_redirect(how.to, 302);
        return;
      case Mode::kPadded: {
        // What the route holds, still readable as such, made as long as asked.
        const auto length = static_cast<std::size_t>(how.bytes);
        std::string bytes(std::min<std::uint64_t>(body->size, length), '\0');
        body->Read(0, bytes.data(), bytes.size());
        bytes.resize(length, '\n');
        Stream(req, res, BodyOfBytes(std::move(bytes), body->type), plan);
        return;
      }
    }
    Stream(req, res, body, plan);
  }

  // Sends a whole reply (up to 1 MiB of body) as it is, with extra header lines, bypassing the
  // library, and closes the connection.
  void WriteRaw(const Request& req, Response& res, const std::string& extra_header,
                const Body& body) {
    std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: " + body.type + "\r\n" + extra_header +
                        "Connection: close\r\n\r\n";
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(body.size, 1 << 20));
    const std::size_t head = reply.size();
    reply.resize(head + count);
    body.Read(0, reply.data() + head, count);
    WriteRawAndClose(FindConnectionSocket(req.remote_addr, req.remote_port), reply);
    res.status = 200;
  }

  httplib::ContentProviderWithoutLength Unsized(std::shared_ptr<const Body> body) {
    return [this, body](std::size_t offset, DataSink& sink) {
      if (stop_.stopped()) return false;
      if (offset >= body->size) {
        sink.done();
        return true;
      }
      std::string piece(std::min<std::uint64_t>(kPiece, body->size - offset), '\0');
      body->Read(offset, piece.data(), piece.size());
      return sink.write(piece.data(), piece.size());
    };
  }

  void Stream(const Request& req, Response& res, std::shared_ptr<const Body> body,
              const StreamPlan& plan) {
    auto paused = std::make_shared<bool>(false);
    const std::string peer_addr = req.remote_addr;
    const int peer_port = req.remote_port;
    res.set_content_provider(
        body->size, body->type,
        [this, body, plan, paused, peer_addr, peer_port](std::size_t offset, std::size_t length,
                                                         DataSink& sink) {
          if (stop_.stopped()) return false;
          if (offset >= plan.pause_at && !*paused) {
            *paused = true;
            if (!stop_.WaitFor(plan.pause)) return false;
          }
          if (offset >= plan.end_at) {
            if (plan.reset_at_end) ResetConnection(FindConnectionSocket(peer_addr, peer_port));
            return false;
          }
          std::uint64_t count = std::min<std::uint64_t>(length, kPiece);
          if (!*paused) count = std::min<std::uint64_t>(count, plan.pause_at - offset);
          count = std::min<std::uint64_t>(count, plan.end_at - offset);
          if (plan.rate > 0) {
            count = std::min<std::uint64_t>(count, std::max<std::int64_t>(1, plan.rate / 20));
          }
          thread_local std::vector<char> piece(kPiece);
          body->Read(offset, piece.data(), count);
          if (!sink.write(piece.data(), count)) return false;
          if (plan.rate > 0) {
            const auto pace =
                std::chrono::milliseconds(static_cast<std::int64_t>(count) * 1000 / plan.rate);
            if (!stop_.WaitFor(pace)) return false;
          }
          return true;
        });
  }

  fs::path root_;
  InstallerSource installer_;
  MisbehaviourTable& table_;
  StopSignal& stop_;
  std::optional<InstallerSigner> signer_;
  std::atomic<int> stamps_{0};
  httplib::Server server_;
};

SiteServer::SiteServer(fs::path root, fs::path installer)
    : root_(std::move(root)),
      impl_(std::make_unique<Impl>(root_, installer, misbehaviours_, stop_)) {}

SiteServer::~SiteServer() = default;

void SiteServer::SignInstallerWith(InstallerSigner signer) {
  impl_->SignInstallerWith(std::move(signer));
}

int SiteServer::Bind(int port) {
  if (port == 0) return impl_->server().bind_to_any_port("127.0.0.1");
  return impl_->server().bind_to_port("127.0.0.1", port) ? port : -1;
}

bool SiteServer::Serve() {
  impl_->server().listen_after_bind();
  return stop_.stopped();
}

void SiteServer::Stop() {
  stop_.Stop();
  impl_->server().stop();
}

}  // namespace kam::demo
