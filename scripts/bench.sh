#!/usr/bin/env bash
# Benchmarks: the settings engine against inih on the host (Release build of its own), then,
# under Wine in a prefix of their own, the launcher's start-up and peak working set against a
# minimal Win32 program, the hand-over to the browser and the close after 6 s, and the browser
# list with 1,000 keys; the executables' sizes. Writes build/bench/results.md and prints it.
# Not part of the tests: the numbers depend on the machine. Takes a few minutes.
#   scripts/bench.sh [pairs] [hand-over runs]     (defaults 20 and 10)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}" "${ZOLV_BENCH_PACKAGES[@]}" \
  "${ZOLV_WINE_PACKAGES[@]}"
pairs=${1:-20}
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

echo "== Windows builds"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target ZOLVWeb
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target ZOLVWeb MinimalWindow StampBrowser StartupBench \
  BrowserListBench

echo "== Under Wine"
export WINEPREFIX=$PWD/build/wine/bench-prefix
export ZOLV_XVFB=1
source scripts/lib/wine.sh
trap zolv_stop_wine EXIT
zolv_start_wine

# The launcher as installed: its folder with site.ini, three browsers in the registry, Chrome
# chosen, and a stamp browser answering for chrome.exe.
stage=$out/wine
rm -rf "$stage"
mkdir -p "$stage/browsers"
cp build/win64/ZOLVWeb.exe build/win64/bench/*.exe "$stage/"
cp build/win64/bench/StampBrowser.exe "$stage/browsers/chrome.exe"
printf '[Site]\r\nHost=zolv.example.com\r\nClientId=1\r\n' >"$stage/site.ini"
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
log=$out/wine.log
: >"$log"
reg() { "$WINELOADER" reg "$@" >>"$log" 2>&1 </dev/null; }
browsers='HKLM\SOFTWARE\Clients\StartMenuInternet'
reg delete "$browsers" /f || true
reg add "$browsers\\Google Chrome" /ve /d "Google Chrome" /f
reg add "$browsers\\FIREFOX.EXE" /ve /d "Mozilla Firefox" /f
reg add "$browsers\\OperaStable" /ve /d "Opera Stable" /f
reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\chrome.exe' /ve \
  /d "$(windows_path "$stage/browsers/chrome.exe")" /f
settings_dir=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/ZOLV
mkdir -p "$settings_dir"
printf '[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n' >"$settings_dir/ZOLVWeb.ini"

run() { # run NAME PROGRAM ARGS...: "name=value" lines into $out/NAME.txt, progress into .log
  local name=$1
  shift
  timeout -k 10 600 "$WINELOADER" "$@" >"$out/$name.txt" 2>"$out/$name.log" </dev/null || {
    echo "$name failed; see $out/$name.log" >&2
    cat "$out/$name.log" >&2
    exit 1
  }
}
echo "start-up: $pairs pairs"
run startup "$stage/StartupBench.exe" startup "$(windows_path "$stage/ZOLVWeb.exe")" \
  "$(windows_path "$stage/MinimalWindow.exe")" "$pairs"
echo "hand-over: $handovers runs of about 7 s"
run handover "$stage/StartupBench.exe" handover "$(windows_path "$stage/ZOLVWeb.exe")" \
  "$(windows_path "$stage/MinimalWindow.exe")" "$(windows_path "$stage/stamp.txt")" "$handovers"
echo "browser list"
run browsers "$stage/BrowserListBench.exe"

# The report.
value() { sed -n "s/^$1=//p" "$out"/startup.txt "$out"/handover.txt "$out"/browsers.txt; }
host() { # host NAME FIELD: the median over the repetitions
  jq -r --arg n "${1}_median" --arg f "$2" \
    '.benchmarks[] | select(.name == $n) | .[$f]' "$out/settings.json"
}
fmt() { awk -v x="$1" -v d="${2:-1}" 'BEGIN { printf "%.*f", d, x }'; }
verdict() { # verdict VALUE OP LIMIT: met or missed
  awk -v x="$1" -v op="$2" -v y="$3" 'BEGIN {
    ok = (op == "<=") ? x <= y : (op == "<") ? x < y : x >= y
    print ok ? "met" : "**missed**" }'
}
load=$(host Load/ansi real_time)
inih=$(host InihParse real_time)
load_ratio=$(awk -v a="$load" -v b="$inih" 'BEGIN { print a / b }')
startup_ratio=$(value startup_ratio_median)
peak_ratio=$(value peak_ratio_median)
handover=$(value handover_start_ms_median)
end_error=$(value handover_end_error_ms_median)
abs_end=$(awk -v x="$end_error" 'BEGIN { print x < 0 ? -x : x }')
size32=$(stat -c %s build/win32/ZOLVWeb.exe)
size64=$(stat -c %s build/win64/ZOLVWeb.exe)
size_min=$(stat -c %s build/win64/bench/MinimalWindow.exe)
file_kib=$(awk -v b="$(jq -r '.benchmarks[] | select(.name == "Load/ansi_median") |
  .file_bytes' "$out/settings.json")" 'BEGIN { printf "%.0f", b / 1024 }')

{
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores of $(sed -n 's/^model name\s*: //p' \
    /proc/cpuinfo | head -1), $(uname -sr), $("$WINELOADER" --version), with \`scripts/bench.sh\`."
  echo
  echo "| measurement | launcher | baseline | result | aim | |"
  echo "| --- | --- | --- | --- | --- | --- |"
  echo "| Settings: load $file_kib KiB, 10,000 sections (ANSI) | $(fmt "$load" 2) ms |" \
    "inih \`ini_parse_string\` $(fmt "$inih" 2) ms | ratio $(fmt "$load_ratio" 2) |" \
    "<= 1.00 | $(verdict "$load_ratio" "<=" 1) |"
  echo "| Settings: load, UTF-8 / UTF-16LE | $(fmt "$(host Load/utf8 real_time)" 2) /" \
    "$(fmt "$(host Load/utf16le real_time)" 2) ms | inih \`INIReader\` (into a map)" \
    "$(fmt "$(host InihReader real_time)" 2) ms | | | |"
  echo "| Settings: read a key in the first / last section | $(fmt "$(host \
    Read/first_section real_time)" 1) / $(fmt "$(host Read/last_section real_time)" 3) us |" \
    "| | | |"
  echo "| Settings: set a key (existing / new section) | $(fmt "$(host \
    Set/existing_section real_time)" 0) / $(fmt "$(host Set/new_section real_time)" 0) us |" \
    "| | | |"
  echo "| Settings: serialise; load + set + serialise | $(fmt "$(host Serialise real_time)" 2)" \
    "/ $(fmt "$(host SetCycle real_time)" 2) ms | | | | |"
  echo "| Settings: page faults per load (allocator pinned) | $(fmt "$(host Load/ansi faults)" 1)" \
    "| inih $(fmt "$(host InihParse faults)" 1) | | | |"
  echo "| Start-up to the window with its buttons, median of $(value startup_pairs |
    cut -d. -f1) alternated pairs | $(fmt "$(value startup_launcher_ms_median)") ms |" \
    "minimal window $(fmt "$(value startup_baseline_ms_median)") ms | ratio" \
    "$(fmt "$startup_ratio" 2) (IQR $(fmt "$(value startup_ratio_p25)" 2)-$(fmt \
      "$(value startup_ratio_p75)" 2), range $(fmt "$(value startup_ratio_min)" 2)-$(fmt \
      "$(value startup_ratio_max)" 2)) | <= 1.15 | $(verdict "$startup_ratio" "<=" 1.15) |"
  echo "| Peak working set once the window is up | $(fmt "$(value peak_launcher_mib_median)")" \
    "MiB | $(fmt "$(value peak_baseline_mib_median)") MiB | ratio $(fmt "$peak_ratio" 2) |" \
    "<= 1.30 | $(verdict "$peak_ratio" "<=" 1.3) |"
  echo "| Hand-over: access click to the browser's first instruction, median of" \
    "$(value handover_runs | cut -d. -f1) | $(fmt "$handover") ms (IQR $(fmt \
      "$(value handover_start_ms_p25)")-$(fmt "$(value handover_start_ms_p75)")); browser" \
    "created after $(fmt "$(value handover_created_ms_median)") ms | bare \`ShellExecuteW\`" \
    "$(fmt "$(value shell_start_ms_median)") ms; created after $(fmt \
      "$(value shell_created_ms_median)") ms | launcher's own share $(fmt "$(awk \
        -v a="$(value handover_created_ms_median)" -v b="$(value shell_created_ms_median)" \
        'BEGIN { print a - b }')") ms | < 50 ms | $(verdict "$handover" "<" 50) |"
  echo "| End: launcher exit after the browser's creation, minus 6000 ms, median | $(fmt \
    "$end_error") ms (IQR $(fmt "$(value handover_end_error_ms_p25)")-$(fmt \
      "$(value handover_end_error_ms_p75)")) | minimal window: WM_CLOSE to exit $(fmt \
      "$(value baseline_close_to_exit_ms_median)") ms; \`ShellExecuteW\` returns $(fmt \
      "$(value shell_return_after_creation_ms_median)") ms after the creation | | < 30 ms |" \
    "$(verdict "$abs_end" "<" 30) |"
  echo "| Browser list: ReadFromSystem, 1,000 keys / 3 keys, median | $(fmt \
    "$(value browsers_1000_ms_median)") / $(fmt "$(value browsers_3_ms_median)" 2) ms |" \
    "| | | |"
  echo "| ZOLVWeb.exe, stripped: win32 (shipped) / win64 | $size32 / $size64 bytes |" \
    "minimal window (win64) $size_min bytes | | | |"
} >"$out/results.md"
echo
cat "$out/results.md"
