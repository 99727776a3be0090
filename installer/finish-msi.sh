#!/usr/bin/env bash
# Puts into the package wixl built what wixl cannot express, with msitools' msibuild; the test
# command checks the result (scripts/check-msi.sh).
#   - The custom actions and both install sequences from installer/msi/*.idt, every action at a
#     number of its own: wixl places actions given only Before=/After= differently from run to
#     run, and writes no rollback action type (it ignores Execute="rollback").
#   - The File table's version and language of the program, read from its version resource:
#     wixl leaves them empty, and by the file versioning rules an installed versioned file wins
#     over an unversioned one.
#   - The Start menu shortcut's target, the program itself ([#ZOLVWeb.exe]), and its icon: wixl
#     writes the feature, which makes it an advertised shortcut whatever Advertise says.
#   - The summary information: the template's platform and language (ProductLanguage), and the
#     package code given (wixl writes a random one and the language 1033).
# Usage: finish-msi.sh package.msi platform(Intel|x64) language package-code program.exe
set -euo pipefail
msi=$1
platform=$2
language=$3
package_code=$4
program=$5
tables=$(dirname "$0")/msi
read -r version program_language < <("$(dirname "$0")/../scripts/pe-version.sh" "$program")

msibuild "$msi" -i "$tables/CustomAction.idt" -i "$tables/InstallExecuteSequence.idt" \
  -i "$tables/InstallUISequence.idt"
msibuild "$msi" -q "UPDATE File SET Version = '$version', Language = '$program_language' WHERE File = 'ZOLVWeb.exe'"
msibuild "$msi" -q "UPDATE Shortcut SET Target = '[#ZOLVWeb.exe]', Icon_ = 'ZOLVWeb.ico', IconIndex = 0 WHERE Shortcut = 'StartMenuShortcut'"
summary=$(msiinfo suminfo "$msi")
subject=$(sed -n 's/^Subject: //p' <<<"$summary")
author=$(sed -n 's/^Author: //p' <<<"$summary")
msibuild "$msi" -s "$subject" "$author" "$platform;$language" "{$package_code}"
