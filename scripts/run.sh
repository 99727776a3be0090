#!/usr/bin/env bash
# Builds the launcher and runs it under Wine, in a prefix of its own with a few browsers
# registered and a site.ini pointing at a placeholder host. With a display the window opens
# there; without one it runs under Xvfb and a screenshot of its window is saved and its path
# printed. The program we ship (win32) runs where the 32-bit Wine runs here, else the 64-bit
# build of the same sources.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}" "${ZOLV_WINE_PACKAGES[@]}"
zolv_offer_wine32

export WINEPREFIX=$PWD/build/wine/run-prefix
source scripts/lib/wine.sh
trap zolv_stop_wine EXIT
[ -n "${DISPLAY:-}" ] || export ZOLV_XVFB=1
zolv_start_wine
zolv_choose_windows_build "the launcher runs as"
preset=$ZOLV_WINDOWS_PRESET
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target ZOLVWeb

log=build/wine/run.log
zolv_register_browsers "$log"
exe=build/$preset/ZOLVWeb.exe
zolv_stage_site "build/$preset"

if [ -z "$ZOLV_XVFB_PID" ]; then
  echo "Running $exe on $DISPLAY; close its window to end."
  "${ZOLV_WINE[@]}" "$exe" >>"$log" 2>&1 </dev/null
  exit 0
fi

"${ZOLV_WINE[@]}" "$exe" >>"$log" 2>&1 </dev/null &
launcher=$!
# Wine draws the window's frame itself (the prefix has no window manager to wait for), so the
# X window named after the launcher's caption is the whole window.
window=
for _ in $(seq 1 600); do
  if info=$(xwininfo -name "ZOLV Online" 2>/dev/null) && grep -q 'IsViewable' <<<"$info"; then
    window=$(sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p' <<<"$info")
    break
  fi
  kill -0 "$launcher" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "The launcher's window did not appear; see $log" >&2
  exit 1
fi
# The window is mapped before its first paint has reached the server.
sleep 0.5
shot=$PWD/build/screenshots/run.png
mkdir -p "$(dirname "$shot")"
import -display "$DISPLAY" -window "$window" "$shot"
kill "$launcher" 2>/dev/null || true
echo "Screenshot of the launcher under Xvfb: $shot"
