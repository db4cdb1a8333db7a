// Fakes of the updater's window, system, transfer and checks, recording what the flow did,
// and a fixture that wires them to an Updater. For the flow's tests only.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

#include "tests/support/temp_dir.h"
#include "update/updater_flow.h"

namespace kam::update::fakes {

// Everything the flow did to the window and the system, in order.
using Log = std::vector<std::string>;

class FakeView : public UpdaterView {
 public:
  explicit FakeView(Log& log) : log_(log) {}
  void SetText(Control c, const std::string& text) override { texts[c] = text; }
  void SetVisible(Control c, bool visible) override { visible_[c] = visible; }
  void SetBarValue(float value) override { bar_values.push_back(value); }
  char DecimalPoint() override { return '.'; }
  void InstallHook() override { log_.push_back("hook"); }
  void SetIcon(const std::filesystem::path& file) override {
    log_.push_back("icon " + file.string());
  }
  void CloseWindow() override { log_.push_back("close window"); }
  void EndProgram(int status) override { log_.push_back("end " + std::to_string(status)); }

  bool Visible(Control c) const {
    auto it = visible_.find(c);
    return it != visible_.end() && it->second;
  }
  std::vector<Control> VisibleControls() const {
    std::vector<Control> shown;
    for (auto [c, v] : visible_) {
      if (v) shown.push_back(c);
    }
    return shown;
  }

  std::map<Control, std::string> texts;
  std::vector<float> bar_values;

 private:
  std::map<Control, bool> visible_;
  Log& log_;
};

class FakeSystem : public UpdaterSystem {
 public:
  explicit FakeSystem(Log& log) : log_(log) {}
  std::string ReadSetting(std::string_view section, std::string_view key) override {
    log_.push_back("read " + std::string(section) + "/" + std::string(key));
    auto it = settings.find(std::string(section) + "/" + std::string(key));
    return it == settings.end() ? "" : it->second;
  }
  bool AnotherInstanceRunning() override {
    log_.push_back("instance?");
    return another_instance;
  }
  void EndProgramCopies(const std::string& name) override { log_.push_back("kill " + name); }
  bool StartProgram(const std::filesystem::path& program) override {
    log_.push_back("start " + program.string());
    return can_start;
  }
  bool WriteSkinConfig(std::string_view section, std::string_view key,
                       std::string_view value) override {
    log_.push_back("write " + std::string(section) + "/" + std::string(key) + "=" +
                   std::string(value));
    return true;
  }
  void ReportError(const std::string& message) override { errors.push_back(message); }

  std::map<std::string, std::string> settings;
  bool another_instance = false;
  bool can_start = true;
  std::vector<std::string> errors;

 private:
  Log& log_;
};

class FakeClock : public TickClock {
 public:
  std::uint32_t TickCount() override { return now += 10; }
  std::uint32_t now = 0;
};

class ScriptedPump : public MessagePump {
 public:
  void ProcessPendingMessages() override {
    if (actions.empty()) return;
    auto action = std::move(actions.front());
    actions.pop_front();
    action();
  }
  std::deque<std::function<void()>> actions;
};

// Sends progress notifications, each after its half of the body; on success writes the body to
// the destination: the installer's for the installer's address, the signature's for its ".sig"
// (none: that transfer fails).
class FakeTransport : public BindingTransport {
 public:
  bool Transfer(const std::string& url, const std::filesystem::path& destination,
                const TransferOptions& options,
                const std::function<bool(const ProgressNotification&)>& notify) override {
    ++transfers;
    urls.push_back(url);
    destinations.push_back(destination);
    limits.push_back({options.max_bytes, options.time_limit});
    const bool is_signature = url.ends_with(".sig");
    if (is_signature && !signature) return false;
    const std::string& bytes = is_signature ? *signature : body;
    auto size = static_cast<std::int64_t>(bytes.size());
    const std::int64_t announced = is_signature && !announce_signature_size ? 0 : size;
    std::int64_t sent = 0;
    for (std::int64_t done : {size / 2, size}) {
      if (options.on_body) {
        options.on_body(std::string_view(bytes).substr(static_cast<std::size_t>(sent),
                                                       static_cast<std::size_t>(done - sent)));
      }
      sent = done;
      ++notifications;
      if (!notify({done, announced, BindStatus::kDownloadingData, url})) return false;
    }
    if (!succeed) return false;
    std::ofstream(destination, std::ios::binary) << bytes;
    return true;
  }
  std::string body = "#!/bin/sh\necho installed\n";
  std::optional<std::string> signature = "c2lnbmF0dXJl\n";
  bool announce_signature_size = true;
  bool succeed = true;
  int transfers = 0;
  int notifications = 0;
  std::vector<std::string> urls;
  std::vector<std::filesystem::path> destinations;
  std::vector<InstallerLimits> limits;  // what each transfer was held to
};

// The cryptography, faked: the digest and the verdict are set by the test; every digest records
// the bytes it was given, and every question is recorded.
class FakeChecks : public InstallerChecks {
 public:
  class FakeSha256 : public Sha256Stream {
   public:
    FakeSha256(FakeChecks& checks, std::size_t index) : checks_(checks), index_(index) {}
    void Update(std::string_view bytes) override { checks_.digested[index_].append(bytes); }
    std::string HexDigest() override { return checks_.digest; }

   private:
    FakeChecks& checks_;
    std::size_t index_;
  };

  bool HasPublisherKey() const override { return has_key; }
  std::unique_ptr<Sha256Stream> NewSha256() override {
    digested.emplace_back();
    return std::make_unique<FakeSha256>(*this, digested.size() - 1);
  }
  SignatureVerdict CheckSignature(std::string_view version, std::string_view sha256_hex,
                                  std::string_view signature_text) override {
    checked.push_back({std::string(version), std::string(sha256_hex), std::string(signature_text)});
    return verdict;
  }

  struct Check {
    std::string version;
    std::string sha256;
    std::string signature_text;
  };
  bool has_key = true;
  std::string digest = std::string(64, 'd');
  SignatureVerdict verdict = SignatureVerdict::kGood;
  std::vector<std::string> digested;  // the bytes each digest was given
  std::vector<Check> checked;
};

class UpdaterTest : public ::testing::Test {
 protected:
  UpdaterTest()
      : view(log), system(log), updater(view, system, transport, clock, pump, checks, dir.path()) {
    system.settings["kampeizhi/wangzhan"] = "http://127.0.0.1:18731";
  }

  // Starts with a command line and forgets what start-up logged.
  void StartWith(std::string_view command_line) {
    ASSERT_TRUE(updater.Start(command_line).show);
    log.clear();
  }

  std::string Installer() const { return (dir.path() / kInstallerName).string(); }

  kam::testing::TempDir dir;
  Log log;
  FakeView view;
  FakeSystem system;
  FakeClock clock;
  ScriptedPump pump;
  FakeTransport transport;
  FakeChecks checks;
  Updater updater;
};

}  // namespace kam::update::fakes
