#!/usr/bin/env bash
# Signs a release with a throwaway certificate made here with openssl, and checks it: every
# signature (ZOLVWeb.exe in the zip, the installer, the MSI, the uninstaller the installer
# installs) verifies against that certificate with osslsigncode, the signed program passes
# scripts/check-exe.sh, and under Wine the signed installer and MSI install a launcher that
# starts (the installer tests' own cases, run against the signed release in the 32-bit installer
# tests' prefix).
# Usage: scripts/check-signing.sh [build folder (build/repro/win32)] [output (build/signed)]
# The build folder is one release.sh may reconfigure; the test command passes its second one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_SIGN_PACKAGES[@]}"
build=${1:-build/repro/win32}
dist=${2:-build/signed}
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

ZOLV_SIGN_PKCS12=$keys/test.pfx ZOLV_SIGN_PASSWORD=$password scripts/release.sh "$build" "$dist" \
  >/dev/null
# The build folder goes back to unsigned, as the test command's other steps expect it.
cmake --preset win32 -B "$build" -DZOLV_SIGN_SCRIPT= >/dev/null

verify() {
  osslsigncode verify -CAfile "$keys/cert.pem" -in "$1" >"$keys/verify.log" 2>&1 ||
    { cat "$keys/verify.log" >&2; fail "$1: no valid signature"; }
  grep -q 'Message digest algorithm *: SHA256' "$keys/verify.log" || fail "$1: not SHA-256"
  echo "Signed and verified: $1"
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup=$dist/ZOLVOnline-Setup-$version.exe
rm -rf "$dist/unpacked"
unzip -q "$dist/ZOLVOnline-$version-portable.zip" -d "$dist/unpacked"
verify "$setup"
verify "$dist/ZOLVOnline-$version.msi"
verify "$dist/unpacked/ZOLVWeb.exe"
scripts/check-exe.sh "$dist/unpacked/ZOLVWeb.exe" i386
(cd "$dist" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"

# Under Wine: the signed installer, its uninstaller, and the signed launcher starting.
cmake --build --preset win32 --target zolv_installer_tests >/dev/null
export WINEPREFIX=$root/build/wine/installer-i686
source scripts/lib/wine.sh
[ -z "${DISPLAY:-}" ] || ZOLV_XVFB=0
trap zolv_stop_wine EXIT
zolv_start_wine
windows_path() { echo "Z:$(realpath "$1")"; }
timeout 120 "${ZOLV_WINE[@]}" "$(windows_path "$setup")" /S /HOST=zolv.example.com /CLIENTID=1 \
  >"$keys/setup.log" 2>&1 </dev/null || fail "the signed installer failed; see $keys/setup.log"
# Program Files (x86) in a 64-bit prefix, Program Files in a 32-bit one.
for folder in "Program Files (x86)" "Program Files"; do
  uninstaller="$WINEPREFIX/drive_c/$folder/ZOLV Online/Uninstall.exe"
  [ ! -f "$uninstaller" ] || break
done
verify "$uninstaller"
ZOLV_TEST_SETUP=$(windows_path "$setup") ZOLV_TEST_MSI=$(windows_path "$dist/ZOLVOnline-$version.msi") \
  ZOLV_TEST_PROGRAM=$(windows_path "$dist/unpacked/ZOLVWeb.exe") \
  scripts/wine-exec.sh build/win32/installer/zolv_installer_tests.exe \
  --gtest_filter='Installer.SilentInstall*:Installer.TheStartMenuShortcut*:Installer.Msi*'
