#!/usr/bin/env bash
# Checks the built MSI package against the rules Windows Installer enforces and Wine does not,
# reading its tables with msitools (no ICE validator runs here). Given a second package built
# from the same sources, also checks that both hold the same tables, summary and files.
# Usage: scripts/check-msi.sh package.msi [second-build.msi]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/msi.sh"
msi=$(realpath "$1")
other=${2:+$(realpath "$2")}
# A folder of its own: msiinfo export writes a table's streams into the current folder.
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
cd "$files"
fail() { echo "check-msi: $msi: $*" >&2; exit 1; }

# rows package table: the table's rows, tab-separated, without the three header lines; each
# table read from each package once.
mkdir rows
rows() {
  local cache=rows/${1//\//_}.$2
  [ -f "$cache" ] || msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r' >"$cache"
  cat "$cache"
}
# sequence table action: the action's number in that sequence table, empty when not there.
sequence() { rows "$msi" "$1" | awk -F'\t' -v a="$2" '$1 == a { print $3 }'; }
property() { rows "$msi" Property | awk -F'\t' -v p="$1" '$1 == p { print $2 }'; }
condition() { rows "$msi" InstallExecuteSequence | awk -F'\t' -v a="$1" '$1 == a { print $2 }'; }

template=$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')

for table in InstallExecuteSequence InstallUISequence AdminExecuteSequence AdminUISequence \
  AdvtExecuteSequence; do
  # ICE82: two actions at one number run in an undefined order.
  duplicates=$(rows "$msi" "$table" | cut -f3 | sort | uniq -d)
  [ -z "$duplicates" ] || fail "$table: more than one action at ${duplicates//$'\n'/, }"
done

initialize=$(sequence InstallExecuteSequence InstallInitialize)
finalize=$(sequence InstallExecuteSequence InstallFinalize)
validate=$(sequence InstallExecuteSequence InstallValidate)
[ -n "$initialize" ] && [ -n "$finalize" ] && [ -n "$validate" ] ||
  fail "InstallExecuteSequence lacks InstallValidate, InstallInitialize or InstallFinalize"

# ICE77, error 2762: an action of the script (msidbCustomActionTypeInScript, 0x400) only
# between InstallInitialize and InstallFinalize. The rollback of one that changes the machine
# (msidbCustomActionTypeRollback, 0x100) comes before it, under the same condition: rollback
# actions are written into the script where they stand and undo only what follows them.
while IFS=$'\t' read -r action type _; do
  ((type & 0x400)) || continue
  at=$(sequence InstallExecuteSequence "$action")
  [ -n "$at" ] || continue
  ((initialize < at && at < finalize)) ||
    fail "deferred action $action at $at, outside InstallInitialize ($initialize) .. InstallFinalize ($finalize)"
  ((type & 0x300)) && continue
  rollback_type=$(rows "$msi" CustomAction | awk -F'\t' -v a="${action}Rollback" '$1 == a { print $2 }')
  [ -n "$rollback_type" ] && (((rollback_type & 0x500) == 0x500)) ||
    fail "deferred action $action has no rollback action ${action}Rollback"
  rollback_at=$(sequence InstallExecuteSequence "${action}Rollback")
  [ -n "$rollback_at" ] && ((initialize < rollback_at && rollback_at < at)) ||
    fail "${action}Rollback is not between InstallInitialize and $action"
  [ "$(condition "$action")" = "$(condition "${action}Rollback")" ] ||
    fail "${action}Rollback runs under another condition than $action"
done < <(rows "$msi" CustomAction)

# RemoveExistingProducts right after InstallInitialize (ICE63 allows it there): the older
# version's removal is then part of this installation's script, so a failed or cancelled
# upgrade rolls it back and leaves the older version installed. Between InstallValidate and
# InstallInitialize it would be a transaction of its own, gone whatever happens next.
remove=$(sequence InstallExecuteSequence RemoveExistingProducts)
[ -n "$remove" ] || fail "no RemoveExistingProducts: an upgrade would leave the older version installed"
before=$(rows "$msi" InstallExecuteSequence | awk -F'\t' -v at="$remove" \
  '$3 != "" && $3 < at { print $3 "\t" $1 }' | sort -n | tail -1 | cut -f2)
[ "$before" = InstallInitialize ] ||
  fail "RemoveExistingProducts at $remove, after $before: not right after InstallInitialize, so a failed upgrade leaves neither version"

# Conditions compare REMOVE as Windows Installer's own sequences do, ignoring case (~=):
# msiexec /x sets ALL, but REMOVE=all on a command line removes everything too.
cased=$(rows "$msi" InstallExecuteSequence | awk -F'\t' '$2 ~ /REMOVE *(=|<>)/ { print $1 }')
[ -z "$cased" ] || fail "REMOVE compared with case (not ~=) in the conditions of: ${cased//$'\n'/, }"

# Restricted public properties: an installation elevated for a user without rights (a UAC
# prompt, or the AlwaysInstallElevated policy) passes only secure public properties to the
# service. Every public property the custom actions read must be in SecureCustomProperties: the
# names the custom action DLL's code reads (its UTF-16 literals in .rdata), the properties in
# the formatted targets of the custom actions, and those in their conditions. Windows
# Installer sets REMOVE and UPGRADINGPRODUCTCODE itself, on the service's side.
case $template in
  Intel\;*) objcopy=i686-w64-mingw32-objcopy ;;
  *) objcopy=x86_64-w64-mingw32-objcopy ;;
esac
read_properties() {
  while IFS=$'\t' read -r _ type source target _; do
    if (((type & 0x3f) == 1)); then
      msiinfo extract "$msi" "Binary.$source" >action.dll
      "$objcopy" -O binary -j .rdata action.dll rdata.bin
      strings -el rdata.bin
    fi
    grep -o '\[[^]]*\]' <<<"$target" | tr -d '[]' || true
  done < <(rows "$msi" CustomAction)
  rows "$msi" InstallExecuteSequence | while IFS=$'\t' read -r action condition _; do
    rows "$msi" CustomAction | cut -f1 | grep -qxF "$action" || continue
    sed -E 's/"[^"]*"//g' <<<"$condition" | grep -oE '[A-Za-z_][A-Za-z0-9_.]*' || true
  done
}
secure=";$(property SecureCustomProperties);"
for name in $(read_properties | grep -E '^[A-Z][A-Z0-9_]*$' | sort -u); do
  case $name in NOT | AND | OR | XOR | EQV | IMP | REMOVE | UPGRADINGPRODUCTCODE) continue ;; esac
  [[ "$secure" == *";$name;"* ]] ||
    fail "public property $name is read by the custom actions but not in SecureCustomProperties: an elevated installation by a user without rights never sees it"
done

# File versioning rules: the program carries its version, so an upgrade replaces it; ICE60: a
# versioned file that is no font has a language. Both as the program in the package says.
version=$(rows "$msi" File | awk -F'\t' '$3 ~ /ZOLVWeb\.exe$/ { print $5 }')
language=$(rows "$msi" File | awk -F'\t' '$3 ~ /ZOLVWeb\.exe$/ { print $6 }')
[ -n "$version" ] || fail "ZOLVWeb.exe has no version in the File table"
[ -n "$language" ] || fail "ZOLVWeb.exe has no language in the File table"
msiextract -C "$files/1" "$msi" >/dev/null
program=$(find "$files/1" -name ZOLVWeb.exe)
[ "$("$root/scripts/pe-version.sh" "$program")" = "$version $language" ] ||
  fail "the File table's version and language of ZOLVWeb.exe ($version $language) are not the program's"
[ -n "$(find "$files/1" -name THIRD-PARTY-NOTICES.txt)" ] || fail "no THIRD-PARTY-NOTICES.txt"

# Shortcut table: a Target without [ ] names a feature, which makes the shortcut advertised.
# ICE43: a non-advertised shortcut's component has a registry key path under HKCU or HKMU (-1),
# which is installed for whoever installs the package; a file key path would be installed once
# for the machine, and later users' shortcuts skipped.
while IFS='|' read -r shortcut component target icon; do
  [[ "$target" == *"["*"]"* ]] || fail "shortcut $shortcut is advertised (Target $target)"
  [ -z "$icon" ] || rows "$msi" Icon | cut -f1 | grep -qxF "$icon" ||
    fail "shortcut $shortcut: icon $icon is not in the Icon table"
  read -r attributes key_path < <(rows "$msi" Component |
    awk -F'\t' -v c="$component" '$1 == c { print $4, $6 }')
  key_root=$(rows "$msi" Registry | awk -F'\t' -v r="$key_path" '$1 == r { print $2 }')
  ((attributes & 4)) && [[ "$key_root" =~ ^(-1|1)$ ]] ||
    fail "shortcut $shortcut: its component $component has no HKCU or HKMU registry key path (ICE43)"
done < <(rows "$msi" Shortcut | awk -F'\t' '{ print $1 "|" $4 "|" $5 "|" $9 }')

# ICE80: a 32-bit package searches and installs in the 32-bit registry view and folders only
# (no msidbLocatorType64bit, 0x10, in RegLocator; no msidbComponentAttributes64bit, 0x100).
if [[ "$template" == Intel\;* ]]; then
  searches=$(rows "$msi" RegLocator | awk -F'\t' 'int($5 / 16) % 2 { print $1 }')
  [ -z "$searches" ] || fail "32-bit package with 64-bit registry searches (ICE80): $searches"
  components=$(rows "$msi" Component | awk -F'\t' 'int($4 / 256) % 2 { print $1 }')
  [ -z "$components" ] || fail "32-bit package with 64-bit components (ICE80): $components"
fi

# Template summary property: the platform and the languages the package is for, ProductLanguage
# among them.
product_language=$(property ProductLanguage)
[[ ",${template#*;}," == *",$product_language,"* ]] ||
  fail "summary template $template does not name ProductLanguage $product_language"

# Package code: the one its content gives (scripts/lib/msi.sh). Windows Installer takes two
# packages with one package code for one package: a second build with other files would run in
# maintenance mode with the first one's cached package and install none of its own.
code=$(msiinfo suminfo "$msi" | sed -n 's/^Revision number (UUID): //p')
content_code=$(msi_package_code "$msi")
[ "$code" = "$content_code" ] ||
  fail "package code $code is not its content's ($content_code): packages with other content would share it"

[ -n "$other" ] || exit 0
# Two builds of the same sources: the same tables (in any row order), summary (but its dates),
# streams (but the cabinet, whose entries carry file times) and files.
for table in $(msiinfo tables "$msi" | sort); do
  [ "$table" = _SummaryInformation ] || [ "$table" = _ForceCodepage ] && continue
  diff <(rows "$msi" "$table" | sort) <(rows "$other" "$table" | sort) >/dev/null ||
    fail "table $table differs from $other's"
done
[ "$(msiinfo tables "$msi" | sort)" = "$(msiinfo tables "$other" | sort)" ] ||
  fail "its tables are not $other's"
summary() { msiinfo suminfo "$1" | grep -Ev '^(Created|Last saved):'; }
[ "$(summary "$msi")" = "$(summary "$other")" ] || fail "its summary differs from $other's"
for stream in $(msiinfo streams "$msi" | grep -Ev '\.cab$|SummaryInformation$'); do
  cmp -s <(msiinfo extract "$msi" "$stream") <(msiinfo extract "$other" "$stream") ||
    fail "stream $stream differs from $other's"
done
msiextract -C "$files/2" "$other" >/dev/null
diff -r "$files/1" "$files/2" >/dev/null || fail "its files differ from $other's"
