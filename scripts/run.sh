#!/usr/bin/env bash
# Builds the launcher and runs it under Wine, in a prefix of its own with a few browsers
# registered and a site.ini pointing at a placeholder host. With a display the window opens
# there; without one it runs under Xvfb and a screenshot is saved and its path printed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}" "${ZOLV_WINE_PACKAGES[@]}"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target ZOLVWeb

export WINEPREFIX=$PWD/build/wine/run-prefix
source scripts/lib/wine.sh
trap zolv_stop_wine EXIT
[ -n "${DISPLAY:-}" ] || export ZOLV_XVFB=1
zolv_start_wine

log=build/wine/run.log
register_browser() {
  "$WINELOADER" reg add "HKLM\\SOFTWARE\\Clients\\StartMenuInternet\\$1" /ve /d "$2" /f \
    >>"$log" 2>&1 </dev/null
}
register_browser "Google Chrome" "Google Chrome"
register_browser "FIREFOX.EXE" "Mozilla Firefox"
register_browser "OperaStable" "Opera Stable"

exe=build/win64/ZOLVWeb.exe
printf '[Site]\r\nHost=zolv.example.com\r\nClientId=1\r\n' >build/win64/site.ini

if [ -z "$ZOLV_XVFB_PID" ]; then
  echo "Running $exe on $DISPLAY; close its window to end."
  "$WINELOADER" "$exe" >>"$log" 2>&1 </dev/null
  exit 0
fi

# Without a window manager Wine would draw no frame; its own desktop window draws them.
"$WINELOADER" explorer /desktop=ZOLV,1280x1024 "$exe" >>"$log" 2>&1 </dev/null &
launcher=$!
shot=$PWD/build/screenshots/run.png
mkdir -p "$(dirname "$shot")"
sleep 4
import -display "$DISPLAY" -window root -crop 640x480+320+272 "$shot"
kill "$launcher" 2>/dev/null || true
echo "Screenshot of the launcher under Xvfb: $shot"
