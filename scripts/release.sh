#!/usr/bin/env bash
# Builds what is handed to administrators, from the win32 preset, and puts it in a folder:
#   ZOLVOnline-Setup-<version>.exe       the installer
#   ZOLVOnline-<version>.msi             the Windows Installer package
#   ZOLVOnline-<version>-portable.zip    ZOLVWeb.exe, site.ini.example, LEEME.txt and
#                                        THIRD-PARTY-NOTICES.txt
#   SHA256SUMS
# Usage: scripts/release.sh [build folder (build/win32)] [output folder (build/dist)] [preset]
# The preset win64 makes the same files with -x64 in their names from the 64-bit build, for the
# tests on machines where the 32-bit Wine cannot run; only win32 is handed out.
#
# The same sources give the same bytes: the binaries hold no time stamp, and the zip's entries
# have fixed times (SOURCE_DATE_EPOCH, by default the last commit's), order and modes. The MSI
# is the exception: wixl writes its string table in a different order on every run.
#
# Signed (Authenticode, SHA-256, scripts/sign.sh) when ZOLV_SIGN_PKCS12 (a .pfx file) and
# ZOLV_SIGN_PASSWORD are set, time-stamped by ZOLV_SIGN_TIMESTAMP_URL (required, unless
# ZOLV_SIGN_NO_TIMESTAMP=1): ZOLVWeb.exe before it goes into the installers and the zip, the
# installer's plugin ZOLVSite.dll, UninstallWait.exe, the uninstaller, the installer, the MSI's
# custom action DLL and the MSI. The build folder is configured to sign for the release only:
# afterwards it is configured as it was, so that the next plain build does not sign.
# A signed release differs from run to run (the signing time).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
source scripts/lib/presets.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}"
build=${1:-build/win32}
dist=${2:-build/dist}
preset=${3:-win32}
zolv_preset_facts "$preset" || exit 2
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}

sign_script=
if [ -n "${ZOLV_SIGN_PKCS12:-}" ] || [ -n "${ZOLV_SIGN_PASSWORD+set}" ]; then
  # Half a signing set-up is a mistake, not a wish for an unsigned release.
  if [ -z "${ZOLV_SIGN_PKCS12:-}" ] || [ -z "${ZOLV_SIGN_PASSWORD+set}" ]; then
    echo "release: set both ZOLV_SIGN_PKCS12 and ZOLV_SIGN_PASSWORD to sign, or neither" >&2
    exit 2
  fi
  [ -r "$ZOLV_SIGN_PKCS12" ] || { echo "release: cannot read $ZOLV_SIGN_PKCS12" >&2; exit 2; }
  zolv_require_packages "${ZOLV_SIGN_PACKAGES[@]}"
  ZOLV_SIGN_PKCS12=$(realpath "$ZOLV_SIGN_PKCS12")
  export ZOLV_SIGN_PKCS12 ZOLV_SIGN_PASSWORD
  sign_script=$PWD/scripts/sign.sh
  # Its settings are checked before anything is built.
  "$sign_script" || exit 2
  previous=$(sed -n 's/^ZOLV_SIGN_SCRIPT:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
  trap 'cmake --preset "$preset" -B "$build" "-DZOLV_SIGN_SCRIPT=$previous" >/dev/null' EXIT
fi

cmake --preset "$preset" -B "$build" "-DZOLV_SIGN_SCRIPT=$sign_script" >/dev/null
# Signed copies from an earlier release may carry another certificate: sign everything afresh.
[ -z "$sign_script" ] || rm -rf "$build/installer/signed"
cmake --build "$build" --target ZOLVWeb installer
program=$build/ZOLVWeb.exe
[ -z "$sign_script" ] || program=$build/installer/signed/ZOLVWeb.exe
scripts/check-exe.sh "$program" "$ZOLV_MACHINE"
scripts/check-exe.sh "$build/installer/plugin/ZOLVSite.dll" "$ZOLV_MACHINE" dll
scripts/check-exe.sh "$build/installer/wait/UninstallWait.exe" "$ZOLV_MACHINE"
scripts/check-exe.sh "$build/installer/action/ZOLVSiteAction.dll" "$ZOLV_MACHINE" action
version=$(zolv_built_version "$build")
# The notices name the packages the binaries were built from: with another version of one, its
# licences must be read again, and the release stops. The test command only warns
# (ZOLV_NOTICES_CHECK=warn): a Debian update of a toolchain package must not stop every test run.
notices=$build/installer/THIRD-PARTY-NOTICES.txt
while read -r package named; do
  built=$(dpkg-query -W -f '${Version}' "$package")
  if [ "$built" != "$named" ]; then
    echo "release: THIRD-PARTY-NOTICES.txt names $package $named, the build used $built:" \
      "read its licences again" >&2
    [ "${ZOLV_NOTICES_CHECK:-}" = warn ] || exit 1
  fi
done < <(awk '/^  [a-z0-9+-]+(, [a-z0-9+-]+)* +[0-9]/ {
  for (i = 1; i < NF; i++) { sub(",", "", $i); print $i, $NF } }' installer/THIRD-PARTY-NOTICES.txt)
setup=ZOLVOnline-Setup-$version$ZOLV_SUFFIX.exe
msi=ZOLVOnline-$version$ZOLV_SUFFIX.msi
portable=ZOLVOnline-$version$ZOLV_SUFFIX-portable.zip
scripts/check-msi.sh "$build/$msi"

rm -rf "$dist"
mkdir -p "$dist/portable"
cp "$build/$setup" "$build/$msi" "$dist/"
cp "$program" "$notices" "$dist/portable/"
# Texts for Windows: CR LF line ends, and a UTF-8 mark so that Notepad shows the accents.
windows_text() {
  printf '\357\273\277'
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"
}
windows_text installer/LEEME.txt >"$dist/portable/LEEME.txt"
windows_text installer/site.ini.example >"$dist/portable/site.ini.example"

(
  cd "$dist/portable"
  files=(ZOLVWeb.exe site.ini.example LEEME.txt THIRD-PARTY-NOTICES.txt)
  chmod 644 "${files[@]}"
  touch -d "@$SOURCE_DATE_EPOCH" "${files[@]}"
  TZ=UTC zip -q -X -D "../$portable" "${files[@]}"
)
if ! zip -sf "$dist/$portable" | grep -qx '  THIRD-PARTY-NOTICES.txt'; then
  echo "release: THIRD-PARTY-NOTICES.txt is not in $portable" >&2
  exit 1
fi
rm -rf "$dist/portable"
(cd "$dist" && sha256sum "$setup" "$msi" "$portable" >SHA256SUMS)

echo "Release $version in $dist:"
(cd "$dist" && ls -l "$setup" "$msi" "$portable" && cat SHA256SUMS)
