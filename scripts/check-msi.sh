#!/usr/bin/env bash
# Checks the built MSI package against the rules Windows Installer enforces and Wine does not,
# reading its tables with msitools (no ICE validator runs here). Given a second package built
# from the same sources, also checks that both hold the same tables, summary and files.
# Usage: scripts/check-msi.sh package.msi [second-build.msi]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
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

# ICE63, error 2613: RemoveExistingProducts between InstallValidate and InstallInitialize,
# right after InstallInitialize, InstallExecute or InstallExecuteAgain, or after
# InstallFinalize.
remove=$(sequence InstallExecuteSequence RemoveExistingProducts)
if [ -n "$remove" ]; then
  before=$(rows "$msi" InstallExecuteSequence | awk -F'\t' -v at="$remove" \
    '$3 != "" && $3 < at { print $3 "\t" $1 }' | sort -n | tail -1 | cut -f2)
  ((validate < remove && remove < initialize)) || ((remove > finalize)) ||
    [[ "$before" =~ ^(InstallInitialize|InstallExecute|InstallExecuteAgain)$ ]] ||
    fail "RemoveExistingProducts at $remove, after $before: not where ICE63 allows it"
fi

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
while IFS='|' read -r shortcut target icon; do
  [[ "$target" == *"["*"]"* ]] || fail "shortcut $shortcut is advertised (Target $target)"
  [ -z "$icon" ] || rows "$msi" Icon | cut -f1 | grep -qxF "$icon" ||
    fail "shortcut $shortcut: icon $icon is not in the Icon table"
done < <(rows "$msi" Shortcut | awk -F'\t' '{ print $1 "|" $5 "|" $9 }')

# ICE80: a 32-bit package searches and installs in the 32-bit registry view and folders only
# (no msidbLocatorType64bit, 0x10, in RegLocator; no msidbComponentAttributes64bit, 0x100).
template=$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')
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
