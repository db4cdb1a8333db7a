#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each named one (all by default)
# in turn, at the lowest priority, for FUZZ_RUNS executions or FUZZ_SECONDS seconds, whichever
# comes first, on inputs of up to FUZZ_MAX_LEN bytes; then merges what it found into
# fuzz/corpus/<name>, minimised. A finding stops the script, leaving the crashing input in
# build-fuzz/findings/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${FUZZ_RUNS:-10000000}"
seconds="${FUZZ_SECONDS:-600}"
max_len="${FUZZ_MAX_LEN:-1024}"
cd "$root"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -n 's/^kam_fuzz_target(\([a-z_0-9]*\) .*/\1/p' fuzz/CMakeLists.txt)
fi
cmake --preset fuzz >/dev/null
cmake --build build-fuzz --target "${targets[@]/%/_fuzz}"
mkdir -p build-fuzz/findings
for t in "${targets[@]}"; do
  work="build-fuzz/corpus-work/$t"
  mkdir -p "$work" "fuzz/corpus/$t"
  cp -n "fuzz/corpus/$t"/* "$work"/ 2>/dev/null || true
  log="build-fuzz/findings/$t.log"
  echo "fuzz: $t ($runs runs or ${seconds}s)"
  nice -n 19 "build-fuzz/fuzz/${t}_fuzz" -runs="$runs" -max_total_time="$seconds" \
    -max_len="$max_len" -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$t-" "$work" >"$log" 2>&1 || {
    echo "fuzz: $t found a fault, see $log"; tail -n 30 "$log"; exit 1; }
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec)' "$log"
  merged="$(mktemp -d)"
  nice -n 19 "build-fuzz/fuzz/${t}_fuzz" -merge=1 "$merged" "$work" >>"$log" 2>&1
  rm -rf "fuzz/corpus/$t"
  mv "$merged" "fuzz/corpus/$t"
  chmod 755 "fuzz/corpus/$t"
  echo "fuzz: $t corpus $(find "fuzz/corpus/$t" -type f | wc -l) files," \
    "$(du -sb "fuzz/corpus/$t" | cut -f1) bytes"
done
