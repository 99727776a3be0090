#!/usr/bin/env bash
# Benchmarks: the settings engine against inih on the host (Release build of its own), then,
# under Wine in a prefix of their own, the launcher's start-up and peak working set against the
# plain launcher (the same start-up in plain Win32 calls: the aims), the floor (one window, one
# push button, common controls v6) and an empty window, the hand-over to
# the browser and the close after 6 s, and the browser list with 1,000 keys; the executables'
# sizes. Writes build/bench/results.md and prints it. The Windows programs print their own rows.
# Not part of the tests: the numbers depend on the machine. Takes a few minutes.
#   scripts/bench.sh [rounds] [hand-over runs]     (defaults 20 and 10)
#   ZOLV_BENCH_COMPARE=<ZOLVWeb.exe>[:<ZOLVWeb.exe>...] scripts/bench.sh ...
#     also those builds, in the same rounds
# Measures the win32 build (the shipped one) where the 32-bit Wine runs here, else win64
# (zolv_choose_windows_build; ZOLV_WINDOWS_PRESET=win32|win64 chooses).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}" "${ZOLV_BENCH_PACKAGES[@]}" \
  "${ZOLV_WINE_PACKAGES[@]}"
zolv_offer_wine32
rounds=${1:-20}
handovers=${2:-10}
out=build/bench
mkdir -p "$out"

echo "== Settings engine on the host"
cmake --preset bench >/dev/null
cmake --build --preset bench --target zolv_settings_bench
# Repetitions in random order, so that a busy moment of the machine does not fall on one
# benchmark only; medians are reported.
build/bench/host/bench/zolv_settings_bench --benchmark_repetitions=9 \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.2 \
  --benchmark_report_aggregates_only=true --benchmark_out="$out/settings.json" \
  --benchmark_out_format=json

echo "== Under Wine"
export WINEPREFIX=$PWD/build/wine/bench-prefix
export ZOLV_XVFB=1
source scripts/lib/wine.sh
trap zolv_stop_wine EXIT
zolv_start_wine
zolv_choose_windows_build "the benchmarks measure"
preset=$ZOLV_WINDOWS_PRESET

echo "== Windows builds (measuring $preset)"
for windows in win32 win64; do
  cmake --preset "$windows" >/dev/null
done
cmake --build --preset win32 --target ZOLVWeb
cmake --build --preset win64 --target ZOLVWeb
cmake --build --preset "$preset" --target MinimalWindow ButtonWindow PlainLauncher StampBrowser \
  StartupBench BrowserListBench
built=build/$preset

# The launcher as installed: its folder with site.ini, three browsers in the registry, Chrome
# chosen, and a stamp browser answering for chrome.exe.
stage=$out/wine
rm -rf "$stage"
mkdir -p "$stage/browsers"
cp "$built/ZOLVWeb.exe" "$built"/bench/*.exe "$stage/"
cp "$built/bench/StampBrowser.exe" "$stage/browsers/chrome.exe"
zolv_stage_site "$stage"
log=$out/wine.log
: >"$log"
zolv_reg_both_views "$log" delete 'HKLM\SOFTWARE\Clients\StartMenuInternet' /f || true
zolv_register_browsers "$log"
app_paths='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths'
zolv_reg_both_views "$log" add "$app_paths\chrome.exe" /ve \
  /d "$(zolv_windows_path "$stage/browsers/chrome.exe")" /f
settings_dir=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/ZOLV
mkdir -p "$settings_dir"
printf '[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n' >"$settings_dir/ZOLVWeb.ini"

run() { # run NAME PROGRAM ARGS...: its table rows into $out/NAME.md, each run into .log
  local name=$1
  shift
  timeout -k 10 900 "${ZOLV_WINE[@]}" "$@" >"$out/$name.md" 2>"$out/$name.log" </dev/null || {
    echo "$name failed; see $out/$name.log" >&2
    cat "$out/$name.log" >&2
    exit 1
  }
}
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
launcher=$(zolv_windows_path "$stage/ZOLVWeb.exe")
plain=$(zolv_windows_path "$stage/PlainLauncher.exe")
floor=$(zolv_windows_path "$stage/ButtonWindow.exe")
empty=$(zolv_windows_path "$stage/MinimalWindow.exe")
# ZOLV_BENCH_COMPARE=<other ZOLVWeb.exe builds, colon-separated>: measured in the same start-up
# rounds, to see what a change gains on a busy machine. Each in a folder of its own, with the
# same site.ini, under the same name (the settings file's name follows the program's).
compare=()
if [ -n "${ZOLV_BENCH_COMPARE:-}" ]; then
  IFS=: read -r -a others <<<"$ZOLV_BENCH_COMPARE"
  for index in "${!others[@]}"; do
    folder=$stage/compare-$index
    mkdir -p "$folder"
    cp "${others[$index]}" "$folder/ZOLVWeb.exe"
    cp "$stage/site.ini" "$folder/"
    compare+=("$(zolv_windows_path "$folder/ZOLVWeb.exe")")
  done
fi
echo "start-up: $rounds rounds"
run startup "$stage/StartupBench.exe" startup "$rounds" "$launcher" "$plain" "$floor" "$empty" \
  "${compare[@]}"
echo "hand-over: $handovers runs of about 7 s"
run handover "$stage/StartupBench.exe" handover "$launcher" "$floor" "$empty" \
  "$(zolv_windows_path "$stage/stamp.txt")" "$handovers"
echo "browser list"
run browsers "$stage/BrowserListBench.exe"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# The host rows, from Google Benchmark's medians.
host() { # host NAME FIELD
  jq -r --arg n "${1}_median" --arg f "$2" \
    '.benchmarks[] | select(.name == $n) | .[$f]' "$out/settings.json"
}
verdict() { # verdict CONDITION (awk): met or missed
  awk "BEGIN { print ($1) ? \"met\" : \"**missed**\" }"
}
load=$(host Load/ansi real_time)
inih=$(host InihParse real_time)
load_ratio=$(awk -v a="$load" -v b="$inih" 'BEGIN { print a / b }')
file_bytes=$(host Load/ansi file_bytes)
host_rows() {
  printf '| Settings: load %.0f KiB, 10,000 sections (ANSI) | %.2f ms |' \
    "$(awk -v b="$file_bytes" 'BEGIN { print b / 1024 }')" "$load"
  printf ' inih `ini_parse_string` %.2f ms | ratio %.2f | <= 1.00 | %s |\n' "$inih" "$load_ratio" \
    "$(verdict "$load_ratio <= 1")"
  printf '| Settings: load, UTF-8 / UTF-16LE | %.2f / %.2f ms |' "$(host Load/utf8 real_time)" \
    "$(host Load/utf16le real_time)"
  printf ' inih `INIReader` (into a map) %.2f ms | | | |\n' "$(host InihReader real_time)"
  printf '| Settings: read a key in the first / last section | %.1f / %.3f us | | | | |\n' \
    "$(host Read/first_section real_time)" "$(host Read/last_section real_time)"
  printf '| Settings: set a key (existing / new section) | %.0f / %.0f us | | | | |\n' \
    "$(host Set/existing_section real_time)" "$(host Set/new_section real_time)"
  printf '| Settings: serialise; load + set + serialise | %.2f / %.2f ms | | | | |\n' \
    "$(host Serialise real_time)" "$(host SetCycle real_time)"
  printf '| Settings: page faults per load (allocator pinned) | %.1f | inih %.1f | | | |\n' \
    "$(host Load/ansi faults)" "$(host InihParse faults)"
}
size_row() {
  local size32 size64 plain_size floor_size
  size32=$(stat -c %s build/win32/ZOLVWeb.exe)
  size64=$(stat -c %s build/win64/ZOLVWeb.exe)
  plain_size=$(stat -c %s "$built/bench/PlainLauncher.exe")
  floor_size=$(stat -c %s "$built/bench/ButtonWindow.exe")
  printf '| ZOLVWeb.exe, stripped: win32 (shipped) / win64 | %d / %d bytes |' "$size32" "$size64"
  printf ' plain launcher (%s) %d bytes; floor %d bytes | win32 %.1f KiB | <= 256 KiB | %s |\n' \
    "$preset" "$plain_size" "$floor_size" \
    "$(awk -v b="$size32" 'BEGIN { print b / 1024 }')" "$(verdict "$size32 <= 262144")"
}

cpu=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)
{
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores of $cpu, $(uname -sr)," \
    "$("${ZOLV_WINE[@]}" --version), the $preset build, with \`scripts/bench.sh" \
    "$rounds $handovers\`; load average $load_before before the Windows part, $load_after after."
  echo
  echo "| measurement | launcher | baseline | result | aim | |"
  echo "| --- | --- | --- | --- | --- | --- |"
  host_rows
  cat "$out/startup.md" "$out/handover.md" "$out/browsers.md"
  size_row
} >"$out/results.md"
echo
cat "$out/results.md"
