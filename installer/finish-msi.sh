#!/usr/bin/env bash
# Puts into the package wixl built what wixl cannot express, with msitools' msibuild; the test
# command checks the result (scripts/check-msi.sh).
#   - The custom actions and both install sequences from installer/msi/*.idt, every action at a
#     number of its own: wixl places actions given only Before=/After= differently from run to
#     run, and writes no rollback or commit action type (it ignores Execute="rollback").
#   - The File table's version and language of the program, read from its version resource:
#     wixl leaves them empty, and by the file versioning rules an installed versioned file wins
#     over an unversioned one.
#   - The Start menu shortcut's icon, and its component's registry key path under HKMU (-1):
#     wixl writes HKMU as 4, which is no root.
#   - SecureCustomProperties: every public property the custom actions read, so that Windows
#     Installer passes it to an elevated installation started by a user without rights (wixl
#     ignores Secure="yes").
#   - The summary information: the template's platform and language (ProductLanguage), and last
#     the package code of the finished package's content (scripts/lib/msi.sh); wixl writes a
#     random code and the language 1033.
# Usage: finish-msi.sh package.msi platform(Intel|x64) language program.exe
set -euo pipefail
msi=$1
platform=$2
language=$3
program=$4
here=$(dirname "$0")
source "$here/../scripts/lib/msi.sh"
tables=$here/msi
read -r version program_language < <("$here/../scripts/pe-version.sh" "$program")

msibuild "$msi" -i "$tables/CustomAction.idt" -i "$tables/InstallExecuteSequence.idt" \
  -i "$tables/InstallUISequence.idt"
msibuild "$msi" -q "UPDATE File SET Version = '$version', Language = '$program_language' WHERE File = 'ZOLVWeb.exe'"
msibuild "$msi" -q "UPDATE Shortcut SET Icon_ = 'ZOLVWeb.ico', IconIndex = 0 WHERE Shortcut = 'StartMenuShortcut'"
msibuild "$msi" -q "UPDATE Registry SET Root = -1 WHERE Registry = 'InstallDirValue'"
# HOST and CLIENTID: CheckSite's values; INSTALLDIR: where it reads site.ini; PREVIOUSINSTALLDIR:
# the folder an upgrade goes to (RememberedFolder).
secure=$(msiinfo export "$msi" Property | tr -d '\r' |
  awk -F'\t' '$1 == "SecureCustomProperties" { print $2 }')
msibuild "$msi" -q "UPDATE Property SET Value = '${secure:+$secure;}HOST;CLIENTID;INSTALLDIR;PREVIOUSINSTALLDIR' WHERE Property = 'SecureCustomProperties'"
summary=$(msiinfo suminfo "$msi")
subject=$(sed -n 's/^Subject: //p' <<<"$summary")
author=$(sed -n 's/^Author: //p' <<<"$summary")
# The package code is not part of the content it is made from: any one will do for the first.
msibuild "$msi" -s "$subject" "$author" "$platform;$language" "{00000000-0000-0000-0000-000000000000}"
msibuild "$msi" -s "$subject" "$author" "$platform;$language" "$(msi_package_code "$msi")"
