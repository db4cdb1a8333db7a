// The demo site checked file by file (every link the player rewrites must find its page) and as
// the real server serves it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "common/atomic_file.h"
#include "common/code_page.h"
#include "common/private_profile.h"
#include "common/version_rule.h"
#include "demo/big_body.h"
#include "demo/installer_source.h"
#include "tests/support/demo_server.h"
#include "tests/support/temp_dir.h"

namespace kam::demo {
namespace {

namespace fs = std::filesystem;

const char* const kPlayerSchemes[] = {
    "xfplayplay://",  "xiguaplay://", "qiyiplay://",     "youkuplay://", "tudouplay://",
    "jjvodplay://",   "qqplay://",    "kankanplay://",   "56play://",    "ku6play://",
    "sohuplay://",    "letvplay://",  "funshionplay://", "pptvplay://",  "ckplayerplay://",
    "hunantvplay://", "1905play://",  "ppsplay://"};

fs::path Site() { return testing::DemoServer::DefaultSiteRoot(); }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string ReadText(const fs::path& file) { return ReadFileBytes(file).value_or(""); }

// Pages that misbehave on purpose, for the whole-program tests; not part of the catalogue.
bool IsHostile(const fs::path& file) {
  return file.lexically_relative(Site()).begin()->string() == "hostile";
}

std::vector<fs::path> HtmlFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(Site())) {
    if (entry.path().extension() == ".html" && !IsHostile(entry.path())) {
      files.push_back(entry.path());
    }
  }
  return files;
}

std::vector<std::string> Hrefs(const std::string& html) {
  static const std::regex href("href=\"([^\"]*)\"");
  std::vector<std::string> found;
  for (std::sregex_iterator it(html.begin(), html.end(), href), end; it != end; ++it) {
    found.push_back((*it)[1].str());
  }
  return found;
}

// The site file a player link lands on: the link lower-cased with every scheme replaced by the
// base address, here empty, so what remains is the path on the site.
std::string PlayPath(const std::string& link) {
  std::string text = Lower(link);
  for (const char* scheme : kPlayerSchemes) {
    for (auto at = text.find(scheme); at != std::string::npos; at = text.find(scheme, at)) {
      text.erase(at, std::string_view(scheme).size());
    }
  }
  return text;
}

const char* SchemeOf(const std::string& link) {
  const std::string lower = Lower(link);
  for (const char* scheme : kPlayerSchemes) {
    if (lower.find(scheme) != std::string::npos) return scheme;
  }
  return nullptr;
}

TEST(DemoSite, EveryPlayLinkLandsOnAPageAndEverySchemeIsUsed) {
  std::set<std::string> schemes_used;
  int links = 0;
  int links_not_lower_case = 0;
  for (const auto& file : HtmlFiles()) {
    for (const auto& link : Hrefs(ReadText(file))) {
      const char* scheme = SchemeOf(link);
      if (scheme == nullptr) continue;
      SCOPED_TRACE(file.string() + ": " + link);
      ++links;
      schemes_used.insert(scheme);
      if (link != Lower(link)) ++links_not_lower_case;
      const std::string path = PlayPath(link);
      ASSERT_FALSE(path.empty());
      EXPECT_EQ(path.front(), '/');
      EXPECT_TRUE(fs::is_regular_file(Site() / path.substr(1)));
    }
  }
  EXPECT_EQ(schemes_used.size(), std::size(kPlayerSchemes));
  EXPECT_GT(links, 100);
  EXPECT_GT(links_not_lower_case, 0);  // capitals and mixed case, as catalogues write them
}

TEST(DemoSite, DesktopLinksCarryChineseNamesAndRealPages) {
  int links = 0;
  for (const auto& file : HtmlFiles()) {
    for (const auto& link : Hrefs(ReadText(file))) {
      if (Lower(link).rfind("dddisk://", 0) != 0) continue;
      SCOPED_TRACE(link);
      ++links;
      const std::string rest = link.substr(9);
      const auto separator = rest.find("@@@");
      ASSERT_NE(separator, std::string::npos);
      const std::string name = rest.substr(0, separator);
      const std::string path = rest.substr(separator + 3);
      EXPECT_TRUE(std::any_of(name.begin(), name.end(),
                              [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
      EXPECT_EQ(name.find("#@@"), std::string::npos);
      ASSERT_FALSE(path.empty());
      EXPECT_TRUE(fs::is_regular_file(Site() / path.substr(1)));
    }
  }
  EXPECT_GE(links, 6);
}

TEST(DemoSite, PlayPagesCloseThePlayerAndPopUpsExist) {
  int play_pages = 0;
  for (const auto& entry : fs::directory_iterator(Site() / "play")) {
    SCOPED_TRACE(entry.path().string());
    ++play_pages;
    EXPECT_EQ(entry.path().filename().string(), Lower(entry.path().filename().string()));
    const auto links = Hrefs(ReadText(entry.path()));
    EXPECT_NE(std::find(links.begin(), links.end(), "colse://close"), links.end());
  }
  EXPECT_GT(play_pages, 20);

  const std::string index = ReadText(Site() / "index.html");
  EXPECT_NE(index.find("target=\"_blank\""), std::string::npos);
  EXPECT_NE(index.find("kam.popup("), std::string::npos);
  EXPECT_NE(ReadText(Site() / "js" / "site.js").find("window.open("), std::string::npos);
  EXPECT_NE(ReadText(Site() / "huangchong.html").find("target=\"_blank\""), std::string::npos);
}

TEST(DemoSite, PlayPagesStreamMadeClipsOfEveryKind) {
  // The set-up makes the clips and brings hls.js; every page's stream must be there.
  static const std::regex video(
      "<video class=\"screen\" data-kind=\"(\\w+)\" (src|data-hls)=\"([^\"]+)\"");
  std::map<std::string, int> kinds;
  for (const auto& entry : fs::directory_iterator(Site() / "play")) {
    SCOPED_TRACE(entry.path().string());
    const std::string html = ReadText(entry.path());
    std::smatch m;
    ASSERT_TRUE(std::regex_search(html, m, video));
    ++kinds[m[1]];
    EXPECT_GT(fs::file_size(Site() / m[3].str().substr(1)), 100u);
    const bool hls = m[2] == "data-hls";
    EXPECT_EQ(hls, m[1] == "hls");
    EXPECT_EQ(html.find("<script src=\"/vendor/hls.min.js\"></script>") != std::string::npos, hls);
    EXPECT_NE(html.find("class=\"ctl ctl-full\""), std::string::npos);
    EXPECT_NE(html.find("class=\"ctl ctl-pip\""), std::string::npos);
  }
  EXPECT_EQ(kinds.size(), 3u);
  for (const auto& [kind, pages] : kinds) EXPECT_GE(pages, 10) << kind;
  const std::string playlist = ReadText(Site() / "media" / "hls" / "index.m3u8");
  EXPECT_EQ(playlist.rfind("#EXTM3U", 0), 0u);
  for (int part = 0; playlist.find("part" + std::to_string(part) + ".ts") != std::string::npos;
       ++part) {
    EXPECT_TRUE(
        fs::is_regular_file(Site() / "media" / "hls" / ("part" + std::to_string(part) + ".ts")));
  }
  EXPECT_GT(fs::file_size(Site() / "vendor" / "hls.min.js"), 100000u);
}

// The player collects link texts into its play list in the GBK code page: a sign outside it
// (an arrow, a play or close sign) would show there as "?", so the pages draw such signs with CSS.
TEST(DemoSite, PageTextsAndDrawnSignsStayInTheCodePage) {
  std::vector<fs::path> files = HtmlFiles();
  for (const char* sheet : {"site.css", "player.css"}) files.push_back(Site() / "css" / sheet);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    for (const char32_t ch : Utf8ToCodePoints(ReadText(file))) {
      if (ch < 0x80) continue;
      EXPECT_TRUE(AnsiCodeOf(ch).has_value()) << "U+" << std::hex << static_cast<int>(ch);
    }
    // Generated content counts as the link's text too.
    static const std::regex escaped_content("content:\\s*\"[^\"]*\\\\[0-9A-Fa-f]{4}");
    EXPECT_FALSE(std::regex_search(ReadText(file), escaped_content));
  }
}

// A series to watch in one go: at least four short episodes and one long enough to stop halfway.
TEST(DemoSite, TheSeriesHasShortEpisodesAndALongOne) {
  static const std::regex clip("<video class=\"screen\"[^>]* src=\"/media/(episode|long)\\.mp4\"");
  int short_ones = 0;
  int long_ones = 0;
  for (int n = 1; n <= 6; ++n) {
    const std::string html =
        ReadText(Site() / "play" / ("xiaocheng-" + std::to_string(n) + ".html"));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(html, m, clip)) << n;
    (m[1] == "long" ? long_ones : short_ones)++;
  }
  EXPECT_GE(short_ones, 4);
  EXPECT_EQ(long_ones, 1);
  // Made by the set-up (tools/make_media.sh): 5 s and 75 s, small.
  EXPECT_LT(fs::file_size(Site() / "media" / "episode.mp4"), 200'000u);
  EXPECT_LT(fs::file_size(Site() / "media" / "long.mp4"), 1'000'000u);
}

TEST(DemoSite, NothingIsFetchedFromElsewhere) {
  static const std::regex outside("(src|href)=\"(https?:)?//");
  for (const auto& entry : fs::recursive_directory_iterator(Site())) {
    const auto extension = entry.path().extension();
    if (extension != ".html" && extension != ".css" && extension != ".js") continue;
    if (entry.path().parent_path().filename() == "vendor") continue;  // hls.js, from npm
    if (IsHostile(entry.path())) continue;
    SCOPED_TRACE(entry.path().string());
    const std::string text = ReadText(entry.path());
    EXPECT_FALSE(std::regex_search(text, outside));
    EXPECT_EQ(text.find("url(http"), std::string::npos);
    EXPECT_EQ(text.find("@import"), std::string::npos);
  }
}

struct SettingsText {
  const char* path;
  const char* offered;
};

TEST(DemoSite, SettingsTextsAreGbkAndCarryEveryKey) {
  // The version record of a new program directory (the build's default version).
  const fs::path config = fs::path(kam::build::kProgDir) / "skin" / "Config.ini";
  const std::string installed = ReadProfileFile(config, "Version", "Version", "", 32767);
  EXPECT_EQ(installed, "1.0");
  EXPECT_EQ(ReadText(config), "[Version]\r\nVersion=1.0\r\n");

  for (const SettingsText& text :
       {SettingsText{"upload/my2.txt", "1.0"}, SettingsText{"kam/kam.txt", "1.1"}}) {
    SCOPED_TRACE(text.path);
    const fs::path file = Site() / text.path;
    const std::string bytes = ReadText(file);
    EXPECT_EQ(GbkToUtf8(bytes).find("\xEF\xBF\xBD"), std::string::npos);  // no U+FFFD
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
              std::count(bytes.begin(), bytes.end(), '\r'));
    const auto read = [&](const char* section, const char* key) {
      return ReadProfileFile(file, section, key, "", 256);
    };
    EXPECT_EQ(read("kampeizhi", "wangzhan"),
              "http://127.0.0.1:" + std::to_string(kam::build::kDemoPort));
    const std::string name = read("kampeizhi", "name");
    EXPECT_NE(Utf8ToGbk(name), name);  // Chinese
    EXPECT_EQ(read("tui", "tui"), "2");
    EXPECT_EQ(read("loading", "loading"), "1");
    EXPECT_EQ(read("loading", "loadingtime"), "10");
    EXPECT_EQ(read("ver", "ver"), text.offered);
  }
  // A start finds nothing newer; the manual check finds an upgrade.
  EXPECT_FALSE(IsUpgradeDue(installed, "1.0"));
  EXPECT_TRUE(IsUpgradeDue(installed, "1.1"));
}

TEST(DemoSite, InstallerRecordsThatItRan) {
  const fs::path installer = Site() / "sela_pid_uid.exe";
  ASSERT_NE(fs::status(installer).permissions() & fs::perms::owner_exec, fs::perms::none);
  testing::TempDir dir;

  const fs::path log = dir.path() / "custom.log";
  const std::string with_log =
      "KAM_INSTALLER_LOG='" + log.string() + "' '" + installer.string() + "' first 'second arg'";
  ASSERT_EQ(std::system(with_log.c_str()), 0);
  ASSERT_EQ(std::system(with_log.c_str()), 0);
  const std::string logged = ReadText(log);
  EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 2);
  EXPECT_NE(logged.find("2 argument(s): [first] [second arg]"), std::string::npos);

  const std::string in_folder =
      "cd '" + dir.path().string() + "' && env -u KAM_INSTALLER_LOG '" + installer.string() + "'";
  ASSERT_EQ(std::system(in_folder.c_str()), 0);
  EXPECT_NE(ReadText(dir.path() / "installer-ran.log").find("0 argument(s)"), std::string::npos);
}

class ServedSite : public ::testing::Test {
 protected:
  testing::DemoServer server_{testing::DemoServer::kAnyPort, Site(), {"--installer", "none"}};
};

TEST_F(ServedSite, PagesTextsAndInstallerComeAsTheirBytes) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  struct Route {
    const char* path;
    const char* file;
    const char* type;
  };
  for (const Route& route :
       {Route{"/", "index.html", "text/html"},
        Route{"/huangchong.html", "huangchong.html", "text/html"},
        Route{"/upload/my2.txt", "upload/my2.txt", "text/plain"},
        Route{"/kam/kam.txt", "kam/kam.txt", "text/plain"},
        Route{"/css/site.css", "css/site.css", "text/css"},
        Route{"/js/player.js", "js/player.js", "text/javascript"},
        Route{"/img/logo.svg", "img/logo.svg", "image/svg+xml"},
        Route{"/sela_pid_uid.exe", "sela_pid_uid.exe", "application/octet-stream"}}) {
    SCOPED_TRACE(route.path);
    const auto reply = testing::HttpGet(server_.Url(route.path));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body, ReadText(Site() / route.file));
    EXPECT_EQ(reply->content_type.rfind(route.type, 0), 0u) << reply->content_type;
  }
}

TEST(ServedInstaller, BuiltInstallerIsServedAndTheSettingsNameItsDigest) {
  testing::TempDir dir;
  const fs::path built = dir.path() / "sela_pid_uid.exe";
  testing::DemoServer server(testing::DemoServer::kAnyPort, Site(),
                             {"--installer", built.string()});
  ASSERT_TRUE(server.ok()) << server.error();
  // Not built yet: the stand-in, and settings without a digest.
  EXPECT_EQ(testing::HttpGet(server.Url("/sela_pid_uid.exe"))->body,
            ReadText(Site() / "sela_pid_uid.exe"));
  EXPECT_EQ(testing::HttpGet(server.Url("/upload/my2.txt"))->body,
            ReadText(Site() / "upload/my2.txt"));

  std::string bytes(300000, '\0');
  FillBigBody(0, bytes.data(), bytes.size());
  ASSERT_TRUE(WriteFileAtomically(built, bytes));
  EXPECT_EQ(testing::HttpGet(server.Url("/sela_pid_uid.exe"))->body, bytes);
  for (const char* path : {"/upload/my2.txt", "/kam/kam.txt"}) {
    SCOPED_TRACE(path);
    const std::string text = testing::HttpGet(server.Url(path))->body;
    const std::string file = ReadText(Site() / (path + 1));
    EXPECT_EQ(ReadProfileValue(text, "ver", "sha256", "", 256), Sha256Hex(bytes));
    EXPECT_EQ(ReadProfileValue(text, "ver", "ver", "", 256),
              ReadProfileValue(file, "ver", "ver", "", 256));
    EXPECT_EQ(ReadProfileValue(text, "kampeizhi", "name", "", 256),
              ReadProfileValue(file, "kampeizhi", "name", "", 256));
  }
}

TEST_F(ServedSite, MissingAndClimbingPathsFindNothing) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  for (const char* path :
       {"/nope.html", "/../CMakeLists.txt", "/%2e%2e/CMakeLists.txt", "/play/XIYOUJI-1.html"}) {
    SCOPED_TRACE(path);
    const auto reply = testing::HttpGet(server_.Url(path));
    ASSERT_TRUE(reply.has_value());
    EXPECT_NE(reply->status, 200);
  }
}

TEST_F(ServedSite, GeneratedBodyHasTheAskedSizeAndPattern) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  const auto reply = testing::HttpGet(server_.Url("/__big?bytes=100003"));
  ASSERT_TRUE(reply.has_value());
  std::string expected(100003, '\0');
  FillBigBody(0, expected.data(), expected.size());
  EXPECT_EQ(reply->body, expected);
}

TEST_F(ServedSite, ControlRefusesUnknownModesAndRestoresRoutes) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  EXPECT_FALSE(server_.Misbehave("/index.html", "teapot"));
  EXPECT_FALSE(server_.Misbehave("/index.html", "stall", "ms=soon"));
  ASSERT_TRUE(server_.Misbehave("/upload/my2.txt", "404"));
  EXPECT_EQ(testing::HttpGet(server_.Url("/upload/my2.txt"))->status, 404);
  ASSERT_TRUE(server_.Behave("/upload/my2.txt"));
  EXPECT_EQ(testing::HttpGet(server_.Url("/upload/my2.txt"))->status, 200);
  ASSERT_TRUE(server_.Misbehave("/kam/kam.txt", "500"));
  ASSERT_TRUE(server_.BehaveAll());
  EXPECT_EQ(testing::HttpGet(server_.Url("/kam/kam.txt"))->status, 200);
}

TEST(DemoServerProcess, MisbehavesFromItsCommandLine) {
  testing::DemoServer server(testing::DemoServer::kAnyPort, Site(),
                             {"--misbehave", "/upload/my2.txt=status,code=503"});
  ASSERT_TRUE(server.ok()) << server.error();
  EXPECT_EQ(testing::HttpGet(server.Url("/upload/my2.txt"))->status, 503);
  EXPECT_EQ(testing::HttpGet(server.Url("/kam/kam.txt"))->status, 200);
}

TEST(DemoServerProcess, StopsCleanlyOnSigtermWhileARequestStalls) {
  testing::DemoServer server(testing::DemoServer::kAnyPort);
  ASSERT_TRUE(server.ok()) << server.error();
  ASSERT_TRUE(server.Misbehave("/upload/my2.txt", "stall", "ms=60000"));
  std::optional<testing::HttpReply> stalled;
  std::thread client([&] { stalled = testing::HttpGet(server.Url("/upload/my2.txt"), 20000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(server.Stop(), 0);
  // Stop gives up and kills after 5 s; a clean stop is well within that.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  client.join();
}

TEST(DemoServerProcess, RefusesBadCommandLinesAndBusyPorts) {
  testing::DemoServer bad_flag(testing::DemoServer::kAnyPort, Site(), {"--misbehave", "/a=tea"});
  EXPECT_FALSE(bad_flag.ok());
  testing::DemoServer no_site(testing::DemoServer::kAnyPort, Site() / "no-such-folder");
  EXPECT_FALSE(no_site.ok());

  testing::DemoServer first(testing::DemoServer::kAnyPort);
  ASSERT_TRUE(first.ok()) << first.error();
  testing::DemoServer second(first.port());
  EXPECT_FALSE(second.ok());
  EXPECT_TRUE(testing::HttpGet(first.Url("/")).has_value());
}

}  // namespace
}  // namespace kam::demo
