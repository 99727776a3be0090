#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest. Wine's output goes to a file first: the helper
# processes Wine starts inherit the output handles and outlive the program, and would keep a
# pipe open.
set -u
out=$(mktemp)
timeout "${ZOLV_WINE_TIMEOUT:-600}" "${ZOLV_WINE:-wine}" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
