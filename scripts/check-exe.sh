#!/usr/bin/env bash
# Checks a built Windows binary of the project (ZOLVWeb.exe: gui; the installer's plugin: dll;
# the MSI package's custom actions: action) for the given machine (i386 or x86-64): its kind,
# its hardening, what it imports, and for the launcher (a gui binary named ZOLVWeb.exe) its
# size: at most 256 KiB, so that the program's size cannot grow past it unseen.
#
# Hardening: ASLR with a relocation table, DEP, 64-bit ASLR entropy on x86-64, no SEH handlers
# on i386, no link time stamp (so builds are reproducible).
#
# Imports: the binary is started from wherever users saved it, Downloads included, where anyone
# may have left a DLL. The loader resolves its imports, and theirs, before the program can
# restrict the DLL search. Only KnownDLLs whose own imports are KnownDLLs too may be imported
# (on Wine the same ones are never taken from the program's folder); any other system DLL,
# comctl32 and shell32 among them, is loaded at run time from System32
# (platform/win32/system/SystemLibrary.h).
set -euo pipefail
binary=$1
machine=$2
kind=${3:-gui}
case "$machine" in
  i386) objdump=i686-w64-mingw32-objdump; format=pei-i386 ;;
  x86-64) objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64 ;;
  *) echo "unknown machine $machine" >&2; exit 2 ;;
esac
fail() { echo "check-exe: $binary: $*" >&2; exit 1; }
headers=$("$objdump" -p "$binary")
sections=$("$objdump" -h "$binary")

grep -q "file format $format" <<<"$headers" || fail "not $format"
is_dll() { grep -Eq '^[[:space:]]+DLL$' <<<"$headers"; }
case "$kind" in
  gui) ! is_dll || fail "not a program"
    grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]' <<<"$headers" || fail "not a GUI program" ;;
  dll | action) is_dll || fail "not a DLL" ;;
  *) echo "unknown kind $kind" >&2; exit 2 ;;
esac

# The flag names objdump lists under DllCharacteristics.
flags=$(awk '/^DllCharacteristics/ {on = 1; next} on && /^[[:space:]]/ {print $1; next} {on = 0}' \
  <<<"$headers")
required="DYNAMIC_BASE NX_COMPAT"
case "$machine" in
  i386) required+=" NO_SEH" ;;
  x86-64) required+=" HIGH_ENTROPY_VA" ;;
esac
for flag in $required; do
  grep -qx "$flag" <<<"$flags" || fail "DllCharacteristics lack $flag"
done
grep -Eq '[[:space:]]\.reloc[[:space:]]' <<<"$sections" || fail "no relocation section"
grep -Eq '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' <<<"$headers" || fail "has a time stamp"

max_launcher_bytes=262144
if [ "$kind" = gui ] && [ "$(basename "$binary")" = ZOLVWeb.exe ]; then
  size=$(stat -c %s "$binary")
  [ "$size" -le "$max_launcher_bytes" ] ||
    fail "$size bytes, over the launcher's $max_launcher_bytes (256 KiB)"
fi

# Windows 7 without update KB2533623 lacks these; a program importing them does not start there.
if grep -Ewq 'SetDefaultDllDirectories|AddDllDirectory|RemoveDllDirectory' <<<"$headers"; then
  fail "imports a function that Windows 7 lacks without update KB2533623"
fi

known='kernel32|user32|gdi32|advapi32|msvcrt'
# Custom actions run inside Windows Installer's own process, which has msi.dll loaded already.
[ "$kind" != action ] || known+='|msi'
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u)
while read -r dll; do
  [ -n "$dll" ] || continue
  grep -Eq "^($known)\.dll$" <<<"$dll" ||
    fail "imports $dll, whose imports the loader may take from the program's folder"
done <<<"$dlls"
echo "check-exe: $binary: $format $kind, $(echo $flags), imports: $(echo $dlls)"
