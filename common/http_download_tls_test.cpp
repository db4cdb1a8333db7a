// The download's scheme rules against a real https site on loopback: https is fetched and may
// be redirected to https, never on to plain http, not even by way of an http start.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "common/atomic_file.h"
#include "common/http_download.h"
#include "tests/support/demo_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tls/tls_site.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using testing::DemoServer;
using testing::TlsSite;

class HttpsDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("site/data.bin", kBody);
    plain_ = std::make_unique<DemoServer>(DemoServer::kAnyPort, dir_.path() / "site");
    ASSERT_TRUE(plain_->ok()) << plain_->error();
    secure_ = std::make_unique<TlsSite>(dir_.path() / "site");
    ASSERT_TRUE(secure_->ok());
    target_ = dir_.Write("out/sela_pid_uid.exe", kFormer);
  }

  HttpDownloadResult Fetch(const std::string& url, bool trust_the_site = true) {
    HttpDownloadOptions options;
    options.connect_timeout = 3000ms;
    options.stall_timeout = 3000ms;
    if (trust_the_site) options.ca_file = TlsSite::CaFile();
    return HttpDownloadToFile(url, target_, options);
  }

  std::string Target() const { return ReadFileBytes(target_).value_or(""); }

  // A port on loopback that nothing listens on: reaching it would be a connect failure.
  std::string NobodyUrl() const { return "http://127.0.0.1:1/data.bin"; }

  static constexpr const char kBody[] = "the installer's bytes";
  static constexpr const char kFormer[] = "the former installer";
  testing::TempDir dir_;
  std::unique_ptr<DemoServer> plain_;
  std::unique_ptr<TlsSite> secure_;
  std::filesystem::path target_;
};

TEST_F(HttpsDownloadTest, HttpsIsFetchedFromATrustedSite) {
  EXPECT_EQ(Fetch(secure_->Url("/data.bin")), HttpDownloadResult::kOk);
  EXPECT_EQ(Target(), kBody);
}

TEST_F(HttpsDownloadTest, AnUntrustedCertificateIsAConnectFailure) {
  EXPECT_EQ(Fetch(secure_->Url("/data.bin"), false), HttpDownloadResult::kConnectFailed);
  EXPECT_EQ(Target(), kFormer);
}

struct RedirectCase {
  const char* what;
  // Builds the start address from the two sites (the plain one, the secure one).
  std::string (*start)(DemoServer& plain, TlsSite& secure, const std::string& nobody);
  HttpDownloadResult result;
};

const RedirectCase kRedirects[] = {
    {"https to https",
     [](DemoServer&, TlsSite& secure, const std::string&) {
       secure.Redirect("/old.bin", secure.Url("/data.bin"));
       return secure.Url("/old.bin");
     },
     HttpDownloadResult::kOk},
    {"http to https",
     [](DemoServer& plain, TlsSite& secure, const std::string&) {
       plain.Misbehave("/old.bin", "redirect", "to=" + secure.Url("/data.bin"));
       return plain.Url("/old.bin");
     },
     HttpDownloadResult::kOk},
    {"https to http",
     [](DemoServer& plain, TlsSite& secure, const std::string&) {
       secure.Redirect("/old.bin", plain.Url("/data.bin"));
       return secure.Url("/old.bin");
     },
     HttpDownloadResult::kInsecureRedirect},
    // Refused before any connection: the address it points to has no server at all.
    {"https to http nobody serves",
     [](DemoServer&, TlsSite& secure, const std::string& nobody) {
       secure.Redirect("/old.bin", nobody);
       return secure.Url("/old.bin");
     },
     HttpDownloadResult::kInsecureRedirect},
    {"https to HTTP in capitals",
     [](DemoServer& plain, TlsSite& secure, const std::string&) {
       std::string to = plain.Url("/data.bin");
       to.replace(0, 4, "HTTP");
       secure.Redirect("/old.bin", to);
       return secure.Url("/old.bin");
     },
     HttpDownloadResult::kInsecureRedirect},
    {"http to https to http",
     [](DemoServer& plain, TlsSite& secure, const std::string&) {
       secure.Redirect("/hop.bin", plain.Url("/data.bin"));
       plain.Misbehave("/old.bin", "redirect", "to=" + secure.Url("/hop.bin"));
       return plain.Url("/old.bin");
     },
     HttpDownloadResult::kInsecureRedirect},
    {"https to a file address",
     [](DemoServer&, TlsSite& secure, const std::string&) {
       secure.Redirect("/old.bin", "file:///etc/hostname");
       return secure.Url("/old.bin");
     },
     HttpDownloadResult::kBadUrl},
};

TEST_F(HttpsDownloadTest, RedirectsKeepToHttpsOnceThere) {
  for (const RedirectCase& c : kRedirects) {
    SCOPED_TRACE(c.what);
    WriteFileAtomically(target_, kFormer);
    const std::string start = c.start(*plain_, *secure_, NobodyUrl());
    const HttpDownloadResult result = Fetch(start);
    EXPECT_EQ(result, c.result) << HttpDownloadResultName(result);
    EXPECT_EQ(Target(), c.result == HttpDownloadResult::kOk ? kBody : kFormer);
    plain_->BehaveAll();
  }
}

}  // namespace
}  // namespace kam
