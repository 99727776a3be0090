#!/usr/bin/env bash
# Fuzzes the settings document and the browser list with libFuzzer (clang, ASan+UBSan), both
# harnesses side by side, for the given number of seconds each (default 600). Seeds come from
# tests/fuzz/corpus/<harness>; what the run finds is kept in build/fuzz/work/<harness>, and an
# input that crashes, leaks or hangs in build/fuzz/artifacts/<harness>/.
#   scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}" "${ZOLV_FUZZ_PACKAGES[@]}"
seconds=${1:-600}

harnesses=(Settings BrowserList)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${harnesses[@]/#/zolv_fuzz_}"

pids=()
for name in "${harnesses[@]}"; do
  work=build/fuzz/work/$name
  artifacts=build/fuzz/artifacts/$name
  mkdir -p "$work" "$artifacts"
  # The first folder receives new inputs; the committed seeds are only read. A run that
  # hangs past libFuzzer's own limits is stopped from outside.
  timeout -k 10 $((seconds + 120)) "build/fuzz/tests/fuzz/zolv_fuzz_$name" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "tests/fuzz/corpus/$name" \
    >"build/fuzz/$name.log" 2>&1 </dev/null &
  pids+=($!)
done

failed=0
for i in "${!harnesses[@]}"; do
  name=${harnesses[$i]}
  log=build/fuzz/$name.log
  if wait "${pids[$i]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    echo "fuzz $name: ok, $runs runs in $seconds s, $cov"
  else
    failed=1
    echo "fuzz $name: FAILED; log $log, inputs in build/fuzz/artifacts/$name/" >&2
    grep -E -A25 '^==[0-9]+==|ERROR: libFuzzer' "$log" | head -60 >&2 || tail -40 "$log" >&2
  fi
done
exit "$failed"
