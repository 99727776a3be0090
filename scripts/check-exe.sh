#!/usr/bin/env bash
# Checks a built ZOLVWeb.exe: a PE GUI program for the given machine (i386 or x86-64) that
# imports nothing but Windows' own DLLs.
set -euo pipefail
exe=$1
machine=$2
case "$machine" in
  i386) objdump=i686-w64-mingw32-objdump; format=pei-i386 ;;
  x86-64) objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64 ;;
  *) echo "unknown machine $machine" >&2; exit 2 ;;
esac
headers=$("$objdump" -p "$exe")
fail() { echo "check-exe: $exe: $*" >&2; exit 1; }
grep -q "file format $format" <<<"$headers" || fail "not $format"
grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]' <<<"$headers" || fail "not a GUI program"
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u)
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|uxtheme|msvcrt|ole32|shlwapi|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
while read -r dll; do
  [ -z "$dll" ] || grep -Eq "$allowed" <<<"$dll" || fail "imports $dll"
done <<<"$dlls"
echo "check-exe: $exe: $format GUI program, imports: $(echo $dlls)"
