// ReadSetting on a settings file of 100 keys (10 sections of 10), every key in turn. Each read
// opens and parses the file, as the programs do; the figure is the time of one read.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "common/atomic_file.h"
#include "common/code_page.h"
#include "common/private_profile.h"
#include "common/settings_files.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kSections = 10;
constexpr int kKeysPerSection = 10;

struct SettingsFixture {
  kam::testing::TempDir dir;
  std::vector<std::pair<std::string, std::string>> keys;

  SettingsFixture() {
    std::string text;
    for (int s = 0; s < kSections; ++s) {
      const std::string section = "section" + std::to_string(s);
      text += "[" + section + "]\r\n";
      for (int k = 0; k < kKeysPerSection; ++k) {
        const std::string key = "key" + std::to_string(k);
        text += key + "=http://127.0.0.1:18731/" + section + "/" + key + " 卡姆影音\r\n";
        keys.emplace_back(section, key);
      }
    }
    dir.Write("kamplayer.db", kam::Utf8ToGbk(text));
  }
};

void BM_ReadSettingEveryKey(benchmark::State& state) {
  SettingsFixture fixture;
  std::size_t next = 0;
  for (auto _ : state) {
    const auto& [section, key] = fixture.keys[next];
    std::string value = kam::ReadSetting(fixture.dir.path(), section, key);
    benchmark::DoNotOptimize(value);
    if (value.empty()) state.SkipWithError("a key read empty");
    next = (next + 1) % fixture.keys.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadSettingEveryKey)->Unit(benchmark::kMicrosecond);

// The same reads from the file's bytes in memory: the parser's share of a read.
void BM_ReadProfileValueInMemory(benchmark::State& state) {
  SettingsFixture fixture;
  const std::string bytes = kam::ReadFileBytes(fixture.dir.path() / "kamplayer.db").value_or("");
  std::size_t next = 0;
  for (auto _ : state) {
    const auto& [section, key] = fixture.keys[next];
    std::string value = kam::ReadProfileValue(bytes, section, key, "", 256);
    benchmark::DoNotOptimize(value);
    if (value.empty()) state.SkipWithError("a key read empty");
    next = (next + 1) % fixture.keys.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadProfileValueInMemory)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
