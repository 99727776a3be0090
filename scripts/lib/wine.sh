# shellcheck shell=bash
# Wine for the Windows test programs and the launcher: a prefix inside the build folder, a
# persistent wineserver, and a display (the caller's, or an Xvfb of our own). Source it, call
# zolv_start_wine, and zolv_stop_wine when done (a trap on EXIT is the usual place).
#
# The prefix is a 64-bit Windows, as most users have: 32-bit programs run in it as they do on
# 64-bit Windows, where the 32-bit Wine is installed and the kernel runs 32-bit code
# (zolv_choose_windows_build tells), and 64-bit ones always.
#
# Wine and its helper processes never write into a pipe of the caller's: they outlive the
# programs they serve and would hold the pipe open. Their output goes to files in build/wine.

ZOLV_ROOT=${ZOLV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
ZOLV_WINE_DIR=$ZOLV_ROOT/build/wine
export WINEPREFIX=${WINEPREFIX:-$ZOLV_WINE_DIR/prefix}
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer; no menu entries for Linux desktops made behind the tests, whose
# icon extraction can hold the programs that the tests install and remove.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
# The 64-bit loader hands 32-bit programs to the 32-bit one.
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
# How to run a Windows program: the same Windows for everyone, with English system texts and
# the Windows-1252 ANSI code page whatever the caller's locale, which is left alone.
ZOLV_WINE=(env LC_ALL=C.UTF-8 "$WINELOADER")
# Marks a finished prefix; renamed whenever the prefix's set-up changes, so that older prefixes
# are made again.
ZOLV_PREFIX_MARK=.zolv-ready-4
ZOLV_XVFB_PID=${ZOLV_XVFB_PID:-}

# zolv_start_display: uses $DISPLAY when set (and ZOLV_XVFB is not 1), else starts Xvfb.
zolv_start_display() {
  if [ -n "$ZOLV_XVFB_PID" ] && kill -0 "$ZOLV_XVFB_PID" 2>/dev/null; then
    return 0
  fi
  if [ -n "${DISPLAY:-}" ] && [ "${ZOLV_XVFB:-0}" != 1 ]; then
    return 0
  fi
  # Xvfb takes the first free display itself and writes its number once it accepts clients,
  # so parallel runs never pick the same one.
  local number=$ZOLV_WINE_DIR/xvfb.display _
  rm -f "$number"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" \
    >"$ZOLV_WINE_DIR/xvfb.log" 2>&1 </dev/null &
  ZOLV_XVFB_PID=$!
  for _ in $(seq 1 100); do
    if grep -q '^[0-9][0-9]*$' "$number" 2>/dev/null; then
      ZOLV_SAVED_DISPLAY=${DISPLAY-}
      DISPLAY=":$(cat "$number")"
      export DISPLAY
      return 0
    fi
    kill -0 "$ZOLV_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start; see $ZOLV_WINE_DIR/xvfb.log" >&2
  zolv_stop_display
  return 1
}

zolv_stop_display() {
  [ -n "$ZOLV_XVFB_PID" ] || return 0
  kill "$ZOLV_XVFB_PID" 2>/dev/null || true
  wait "$ZOLV_XVFB_PID" 2>/dev/null || true
  ZOLV_XVFB_PID=
  if [ -n "${ZOLV_SAVED_DISPLAY:-}" ]; then
    export DISPLAY=$ZOLV_SAVED_DISPLAY
  else
    unset DISPLAY
  fi
}

# zolv_start_wineserver: a server that stays between programs, so each test program does not
# pay for starting Wine's services again. It ends by itself ten minutes after the last program,
# should zolv_stop_wine never be reached. Fails quietly when this prefix's server is already up.
zolv_start_wineserver() {
  "$WINESERVER" -p600 >>"$ZOLV_WINE_DIR/wineserver.log" 2>&1 </dev/null || true
}

# zolv_reg LOG ARGS...: Wine's `reg ARGS` in the prefix, its output added to LOG.
zolv_reg() {
  local log=$1
  shift
  timeout 60 "${ZOLV_WINE[@]}" reg "$@" >>"$log" 2>&1 </dev/null
}

# zolv_reg_both_views LOG ARGS...: the same in the 32-bit and in the 64-bit registry view:
# Windows shares the browsers' key between 32-bit and 64-bit programs, Wine keeps a copy for
# each.
zolv_reg_both_views() {
  local log=$1 view status=0
  shift
  for view in /reg:32 /reg:64; do
    zolv_reg "$log" "$@" "$view" || status=$?
  done
  return "$status"
}

# zolv_register_browsers LOG: Google Chrome, Mozilla Firefox and Opera in the installed browser
# list, as on a user's machine (Firefox under its executable's name, as its installer has it).
zolv_register_browsers() {
  local log=$1 key='HKLM\SOFTWARE\Clients\StartMenuInternet'
  zolv_reg_both_views "$log" add "$key\Google Chrome" /ve /d "Google Chrome" /f &&
    zolv_reg_both_views "$log" add "$key\FIREFOX.EXE" /ve /d "Mozilla Firefox" /f &&
    zolv_reg_both_views "$log" add "$key\OperaStable" /ve /d "Opera Stable" /f
}

# zolv_stage_site FOLDER: a site.ini in FOLDER with a placeholder host, as an installation has.
zolv_stage_site() {
  printf '[Site]\r\nHost=zolv.example.com\r\nClientId=1\r\n' >"$1/site.ini"
}

# zolv_windows_path PATH: the Windows name of a file of this machine, on Wine's drive Z:.
zolv_windows_path() {
  echo "Z:$(realpath "$1" | tr / '\\')"
}

# zolv_make_prefix: a fresh prefix with Tahoma among its fonts and no crash dialog; marked
# ready only once everything is in place, so an interrupted run starts over.
zolv_make_prefix() {
  local log=$ZOLV_WINE_DIR/wineboot.log
  echo "Creating the Wine prefix $WINEPREFIX"
  "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
  timeout 60 "$WINESERVER" -w >/dev/null 2>&1 </dev/null || true
  # Only a prefix of our own build folder is thrown away; another one is updated in place.
  case $WINEPREFIX in
    "$ZOLV_WINE_DIR"/?*) rm -rf "$WINEPREFIX" ;;
  esac
  # Wine finds a prefix's server by the folder's device and inode. A new folder can get the
  # inode of one deleted a moment ago (a build folder removed and made again), whose server may
  # not have ended yet: that one is ended before the prefix is made in the new folder.
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
  timeout 60 "$WINESERVER" -w >/dev/null 2>&1 </dev/null || true
  if ! timeout 300 "${ZOLV_WINE[@]}" wineboot -i >"$log" 2>&1 </dev/null; then
    echo "wineboot failed; the end of $log:" >&2
    tail -20 "$log" >&2
    return 1
  fi
  # A crashing program prints its backtrace and ends, instead of waiting on a dialog. No window
  # manager runs under Xvfb, so Wine manages the windows itself: it draws their title bars and
  # frames (screenshots show whole windows), and a closing window does not wait two seconds for
  # a window manager to let it go. Visual styles: Wine's Light style, as Windows users always
  # have one, so that the themed drawing of the buttons is what the tests see. Wine selects it
  # by default; it is named here so that the tests do not depend on that default.
  local themes='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
  local key name type data
  while IFS='|' read -r key name type data; do
    if ! zolv_reg "$log" add "$key" /v "$name" /t "$type" /d "$data" /f; then
      echo "Could not configure the Wine prefix ($key, $name); see $log" >&2
      return 1
    fi
  done <<EOF
HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0
HKCU\Software\Wine\X11 Driver|Managed|REG_SZ|N
$themes|ThemeActive|REG_SZ|1
$themes|DllName|REG_SZ|C:\windows\resources\themes\light\light.msstyles
$themes|ColorName|REG_SZ|Blue
$themes|SizeName|REG_SZ|NormalSize
EOF
  # The registry reaches the disk when the server ends.
  if ! timeout 120 "$WINESERVER" -w >>"$log" 2>&1 </dev/null; then
    echo "Wine did not settle after creating the prefix; see $log" >&2
    "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
    return 1
  fi
  # Marlett draws the title bar's buttons. Wine's own Tahoma Bold is left out: from 13 to 30
  # pixels it draws the regular glyphs, so a bold caption would look regular; without it Wine
  # makes bold from the regular outlines, and bold shows.
  cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/marlett.ttf \
    "$WINEPREFIX/drive_c/windows/Fonts/"
  touch "$WINEPREFIX/$ZOLV_PREFIX_MARK"
}

# zolv_start_wine: display, prefix (made once) and wineserver, with Wine's own services up: the
# first program of a server session waits for them to start (wineboot, services.exe and the
# device drivers), so that waiting is done here, not inside a test.
zolv_start_wine() {
  mkdir -p "$ZOLV_WINE_DIR"
  zolv_start_display || return 1
  if [ ! -f "$WINEPREFIX/$ZOLV_PREFIX_MARK" ]; then
    zolv_make_prefix || return 1
  fi
  zolv_start_wineserver
  if ! timeout 300 "${ZOLV_WINE[@]}" cmd /c exit >>"$ZOLV_WINE_DIR/start.log" 2>&1 </dev/null; then
    echo "Wine did not start; see $ZOLV_WINE_DIR/start.log" >&2
    return 1
  fi
}

# zolv_choose_windows_build WHAT: after zolv_start_wine, exports ZOLV_WINDOWS_PRESET, the build
# that runs here, and says in one line which and why; WHAT names what runs it ("the Windows
# suites run"). win32, the program we ship, where the 32-bit Wine runs a trivial 32-bit program;
# else win64, the same sources built for 64-bit Windows. ZOLV_WINDOWS_PRESET, when set, decides.
# Needs scripts/lib/deps.sh, which the scripts that choose a build source to install Wine.
zolv_choose_windows_build() {
  local what=$1
  if [ -n "${ZOLV_WINDOWS_PRESET:-}" ]; then
    echo "ZOLV_WINDOWS_PRESET=$ZOLV_WINDOWS_PRESET: $what build/$ZOLV_WINDOWS_PRESET"
    return 0
  fi
  local log=$ZOLV_WINE_DIR/probe32.log why code=0
  if ! zolv_installed "$ZOLV_WINE32_PACKAGE"; then
    why="32-bit Wine is not installed"
    [ ! -s "$ZOLV_WINE32_MISSING" ] ||
      why="32-bit Wine could not be installed ($(cat "$ZOLV_WINE32_MISSING"))"
  else
    timeout 120 "${ZOLV_WINE[@]}" 'C:\windows\syswow64\cmd.exe' /c exit 32 >"$log" 2>&1 \
      </dev/null || code=$?
    if [ "$code" -eq 32 ]; then
      export ZOLV_WINDOWS_PRESET=win32
      echo "The 32-bit Wine runs here: $what build/win32, the program we ship"
      return 0
    fi
    # The 32-bit loader is an i386 program: a kernel without IA-32 emulation will not start it.
    if ! /usr/lib/wine/wine --version >>"$log" 2>&1 </dev/null; then
      why="this kernel cannot run 32-bit programs (/usr/lib/wine/wine does not start; see $log)"
    else
      why="the 32-bit Wine did not run a 32-bit program (exit code $code; see $log)"
    fi
  fi
  export ZOLV_WINDOWS_PRESET=win64
  echo "$why: $what the 64-bit build, build/win64"
}

# zolv_stop_wine: ends every Wine process of the prefix, then our Xvfb.
zolv_stop_wine() {
  "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
  timeout 60 "$WINESERVER" -w >/dev/null 2>&1 </dev/null || true
  zolv_stop_display
}
