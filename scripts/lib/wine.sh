# Wine for the Windows test programs and the launcher: a prefix inside the build folder, a
# persistent wineserver, and a display (the caller's, or an Xvfb of our own).
#
# The 64-bit Wine is used: it runs on kernels that cannot execute 32-bit code, where the
# 32-bit Wine loader cannot start. The Windows suites therefore run the x86_64 build.

ZOLV_ROOT=${ZOLV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$ZOLV_ROOT/build/wine/prefix}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export ZOLV_WINE=$WINELOADER
ZOLV_XVFB_PID=

# zolv_start_display: uses $DISPLAY when set (and ZOLV_XVFB is not 1), else starts Xvfb.
zolv_start_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${ZOLV_XVFB:-0}" != 1 ]; then
    return 0
  fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$ZOLV_ROOT/build/wine/xvfb.log" 2>&1 &
  ZOLV_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

# zolv_start_wine: display, wineserver, and a prefix made once with Tahoma in its fonts.
zolv_start_wine() {
  mkdir -p "$ZOLV_ROOT/build/wine"
  zolv_start_display
  # The prefix is made before the persistent wineserver starts: that one never ends, so it
  # cannot be waited for, and it cannot start without the prefix folder.
  if [ ! -f "$WINEPREFIX/.zolv-ready" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    timeout 300 "$WINELOADER" wineboot -i >"$ZOLV_ROOT/build/wine/wineboot.log" 2>&1 </dev/null
    timeout 120 "$WINESERVER" -w
    "$WINESERVER" -p
    cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    touch "$WINEPREFIX/.zolv-ready"
  fi
}

zolv_stop_wine() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "$ZOLV_XVFB_PID" ]; then
    kill "$ZOLV_XVFB_PID" 2>/dev/null || true
    wait "$ZOLV_XVFB_PID" 2>/dev/null || true
  fi
}
