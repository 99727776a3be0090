# shellcheck shell=bash
# The package code of an MSI package, as installer/finish-msi.sh gives it and scripts/check-msi.sh
# checks it: a name-based (SHA-1) UUID, in the namespace of the package's UpgradeCode, of the
# SHA-256 of its content. Windows Installer takes two packages with one package code for the
# same package, so the code must change with anything that goes into the package (a table, a
# file, a signed binary inside it), and stay the same for the same inputs.

# msi_content package: the content as text: every table's rows in a fixed order, the summary
# but its dates and the package code itself, and the SHA-256 of every stream and of every file
# the package installs. Not the cabinet's own bytes (its entries carry the build's file times)
# nor the package's signature, which is made after the package code is given.
msi_content() {
  local msi work table stream
  msi=$(realpath "$1")
  work=$(mktemp -d)
  (
    # msiinfo export writes a table's streams into the current folder.
    cd "$work"
    for table in $(msiinfo tables "$msi" | LC_ALL=C sort); do
      case $table in _SummaryInformation | _ForceCodepage) continue ;; esac
      echo "table $table"
      msiinfo export "$msi" "$table" | tr -d '\r' | LC_ALL=C sort
    done
    msiinfo suminfo "$msi" | grep -Ev '^(Created|Last saved|Last printed|Revision number)'
    for stream in $(msiinfo streams "$msi" | LC_ALL=C sort); do
      case $stream in *.cab | *SummaryInformation | *DigitalSignature*) continue ;; esac
      echo "stream $stream $(msiinfo extract "$msi" "$stream" | sha256sum | cut -c1-64)"
    done
    msiextract -C files "$msi" >/dev/null
    cd files && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum
  )
  rm -rf "$work"
}

# msi_package_code package: the package code its content gives, braced, in capitals.
msi_package_code() {
  local namespace digest hex
  namespace=$(msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' '$1 == "UpgradeCode" { print $2 }')
  namespace=${namespace//[\{\}-]/}
  [ ${#namespace} = 32 ] || { echo "msi_package_code: $1 has no UpgradeCode" >&2; return 1; }
  digest=$(msi_content "$1" | sha256sum | cut -c1-64)
  # RFC 4122 version 5: SHA-1 of the namespace's bytes and the name.
  hex=$({ printf "$(sed 's/../\\x&/g' <<<"$namespace")"; printf %s "$digest"; } | sha1sum | cut -c1-32)
  printf '{%s-%s-5%s-%x%s-%s}\n' "${hex:0:8}" "${hex:8:4}" "${hex:13:3}" \
    $(((0x${hex:16:1} & 3) | 8)) "${hex:17:3}" "${hex:20:12}" | tr a-f A-F
}
