#!/usr/bin/env bash
# Signs a release with a throwaway certificate made here with openssl, and checks it: every
# signature (ZOLVWeb.exe in the zip, the installer, its plugin, the MSI, the uninstaller and its
# waiting entry point, as built and as installed) verifies against that certificate with osslsigncode, the signed program passes
# scripts/check-exe.sh, and under Wine the signed installer and MSI install a launcher that
# starts (the installer tests' own cases, run against the signed release in the installer tests'
# prefix of that build).
# Usage: scripts/check-signing.sh [preset (win32)] [build folder] [output (build/signed/<preset>)]
# The build folder (build/repro/win32 for win32, build/win64 for win64) is one release.sh may
# reconfigure. The 64-bit release is signed and installed on every machine, so that the build the
# Windows suites fall back to is proven everywhere. The 32-bit one is installed under Wine where
# the 32-bit Wine runs (zolv_choose_windows_build); elsewhere its signatures are still checked.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib/deps.sh
source scripts/lib/presets.sh
zolv_require_packages "${ZOLV_SIGN_PACKAGES[@]}"
preset=${1:-win32}
zolv_preset_facts "$preset" || exit 2
default_build=build/win64
[ "$preset" != win32 ] || default_build=build/repro/win32
build=${2:-$default_build}
dist=${3:-build/signed/$preset}
keys=build/signing
fail() { echo "check-signing: $*" >&2; exit 1; }

rm -rf "$keys"
mkdir -p "$keys"
openssl req -x509 -newkey rsa:3072 -nodes -keyout "$keys/key.pem" -out "$keys/cert.pem" \
  -days 2 -subj "/CN=ZOLV Online test signing" -addext "keyUsage=critical,digitalSignature" \
  -addext "extendedKeyUsage=codeSigning" >"$keys/openssl.log" 2>&1 || fail "see $keys/openssl.log"
password=$(openssl rand -hex 16)
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/test.pfx" \
  -passout "pass:$password" >>"$keys/openssl.log" 2>&1 || fail "see $keys/openssl.log"

# The unsigned package of this build folder, before the signed release replaces it: the signed
# one holds other binaries, so it must have another package code (scripts/lib/msi.sh).
version=$(zolv_built_version "$build")
source scripts/lib/msi.sh
unsigned_code=$(msi_package_code "$build/ZOLVOnline-$version$ZOLV_SUFFIX.msi")

# No time-stamp server here: the throwaway certificate's signatures need not outlive it.
ZOLV_SIGN_PKCS12=$keys/test.pfx ZOLV_SIGN_PASSWORD=$password ZOLV_SIGN_NO_TIMESTAMP=1 \
  scripts/release.sh "$build" "$dist" "$preset" >/dev/null

verify() {
  osslsigncode verify -CAfile "$keys/cert.pem" -in "$1" >"$keys/verify.log" 2>&1 ||
    { cat "$keys/verify.log" >&2; fail "$1: no valid signature"; }
  grep -q 'Message digest algorithm *: SHA256' "$keys/verify.log" || fail "$1: not SHA-256"
  echo "Signed and verified: $1"
}
setup=$dist/ZOLVOnline-Setup-$version$ZOLV_SUFFIX.exe
msi=$dist/ZOLVOnline-$version$ZOLV_SUFFIX.msi
rm -rf "$dist/unpacked"
unzip -q "$dist/ZOLVOnline-$version$ZOLV_SUFFIX-portable.zip" -d "$dist/unpacked"
verify "$setup"
verify "$msi"
scripts/check-msi.sh "$msi"
[ "$(msi_package_code "$msi")" != "$unsigned_code" ] ||
  fail "$msi: the signed package has the unsigned one's package code $unsigned_code"
verify "$dist/unpacked/ZOLVWeb.exe"
verify "$build/installer/signed/plugin/ZOLVSite.dll"
verify "$build/installer/signed/UninstallWait.exe"
scripts/check-exe.sh "$dist/unpacked/ZOLVWeb.exe" "$ZOLV_MACHINE"
(cd "$dist" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"

# Under Wine: the signed installer, its uninstaller, and the signed launcher starting.
# The installer tests' own prefix for this build (tests/installer).
export WINEPREFIX=$root/build/wine/installer-$ZOLV_PROCESSOR
source scripts/lib/wine.sh
[ -z "${DISPLAY:-}" ] || ZOLV_XVFB=0
trap zolv_stop_wine EXIT
if [ -z "${ZOLV_WINDOWS_PRESET:-}" ]; then
  zolv_start_wine
  zolv_choose_windows_build "the signing check installs"
fi
if [ "$preset" = win32 ] && [ "$ZOLV_WINDOWS_PRESET" != win32 ]; then
  echo "check-signing: the signed 32-bit release is not installed here: no 32-bit Wine runs"
  exit 0
fi
zolv_start_wine
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target zolv_installer_tests >/dev/null
timeout 120 "${ZOLV_WINE[@]}" "$(zolv_windows_path "$setup")" /S /HOST=zolv.example.com \
  /CLIENTID=1 \
  >"$keys/setup.log" 2>&1 </dev/null || fail "the signed installer failed; see $keys/setup.log"
# Program Files (x86) in a 64-bit prefix, Program Files in a 32-bit one.
for folder in "Program Files (x86)" "Program Files"; do
  uninstaller="$WINEPREFIX/drive_c/$folder/ZOLV Online/Uninstall.exe"
  [ ! -f "$uninstaller" ] || break
done
verify "$uninstaller"
verify "$(dirname "$uninstaller")/UninstallWait.exe"
ZOLV_TEST_SETUP=$(zolv_windows_path "$setup") ZOLV_TEST_MSI=$(zolv_windows_path "$msi") \
  ZOLV_TEST_PROGRAM=$(zolv_windows_path "$dist/unpacked/ZOLVWeb.exe") \
  scripts/wine-exec.sh "build/$preset/installer/zolv_installer_tests.exe" \
  --gtest_filter='Installer.SilentInstall*:Installer.TheStartMenuShortcut*:Installer.Msi*'
