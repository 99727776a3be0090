#!/usr/bin/env bash
# Runs the installer tests (the Windows program given) under Wine in a prefix of their own,
# WINEPREFIX, made on first use: they install and remove ZOLV Online for the whole "machine".
# Uses the caller's display, or an Xvfb of its own; ends the prefix's processes when done.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
: "${WINEPREFIX:?the installer tests need a Wine prefix of their own}"
source "$root/scripts/lib/wine.sh"
[ -z "${DISPLAY:-}" ] || ZOLV_XVFB=0
trap zolv_stop_wine EXIT
zolv_start_wine
"$root/scripts/wine-exec.sh" "$@"
