#!/usr/bin/env bash
# Runs one Windows program under the project's Wine for ctest (CMAKE_CROSSCOMPILING_EMULATOR).
# Needs the prefix and server of scripts/lib/wine.sh (zolv_start_wine). The program's output
# goes to a file first: the helper processes Wine starts inherit the output handles and outlive
# the program, and would keep a pipe open. A program that runs past the time limit (below
# ctest's own) is stopped with everything it started, and the output so far is shown.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine.sh"
if [ ! -f "$WINEPREFIX/$ZOLV_PREFIX_MARK" ]; then
  echo "wine-exec: no Wine prefix at $WINEPREFIX." >&2
  echo "Run: export ZOLV_XVFB=1; source scripts/lib/wine.sh; zolv_start_wine" >&2
  exit 1
fi
limit=${ZOLV_WINE_TIMEOUT:-500}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
timeout -k 10 "$limit" "${ZOLV_WINE[@]}" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
  echo "wine-exec: $1 did not finish within $limit seconds; stopping this prefix's Wine." >&2
  zolv_stop_wine
  zolv_start_wineserver
fi
exit "$rc"
