#!/usr/bin/env bash
# Every test of the project, on a fresh Debian 12 machine: installs what is missing (as root),
# checks formatting, builds the host preset and runs its unit tests under ASan+UBSan, fuzzes
# the settings document and the browser list for a minute, builds the shipped 32-bit program
# and its installers, checks the binaries and that the release is reproducible, then runs the
# Windows suites (adapters, robustness, end to end, the installers') under Wine and Xvfb:
# against the 32-bit program where the 32-bit Wine runs here, else against the 64-bit build;
# last, it signs the 32-bit and the 64-bit releases with a throwaway certificate, checks the
# signatures and installs them under Wine (the 32-bit one where it runs). The 64-bit build is
# so proven on every machine, not only where it stands in for the 32-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}" "${ZOLV_FUZZ_PACKAGES[@]}" \
  "${ZOLV_WINE_PACKAGES[@]}" "${ZOLV_SIGN_PACKAGES[@]}"
zolv_offer_wine32

scripts/check-format.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host -j2

# A minute of each fuzzing harness, side by side (scripts/fuzz.sh runs them longer).
scripts/fuzz.sh 60

cmake --preset win32 >/dev/null
cmake --build --preset win32

# The release, made twice in separate build folders: the same sources give the same bytes.
# release.sh checks its binaries (scripts/check-exe.sh) as it makes them.
# Notices naming other package versions than the build's stop a real release; here they warn.
export ZOLV_NOTICES_CHECK=warn
scripts/release.sh
rm -rf build/repro
scripts/release.sh build/repro/win32 build/repro/dist >/dev/null
# Not the MSI's bytes (wixl writes its strings in another order on every run): check-msi.sh
# compares its tables, summary and files below.
if ! diff <(grep -v '\.msi$' build/dist/SHA256SUMS) <(grep -v '\.msi$' build/repro/dist/SHA256SUMS) \
  >/dev/null; then
  echo "Two builds of the same sources differ:" >&2
  diff build/dist/SHA256SUMS build/repro/dist/SHA256SUMS >&2
  exit 1
fi
echo "Release: the second build gives the same bytes"
scripts/check-msi.sh build/dist/*.msi build/repro/dist/*.msi

export ZOLV_XVFB=1
source scripts/lib/wine.sh
trap zolv_stop_wine EXIT
zolv_start_wine
zolv_choose_windows_build "the Windows suites run"
preset=$ZOLV_WINDOWS_PRESET
if [ "$preset" = win64 ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64
fi
echo "Windows suites against build/$preset/ZOLVWeb.exe"
ctest --preset "$preset"

# Signing: the releases signed with a throwaway certificate, verified, installed and started.
scripts/check-signing.sh win32 build/repro/win32
scripts/check-signing.sh win64
