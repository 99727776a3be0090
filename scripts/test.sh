#!/usr/bin/env bash
# Every test of the project, on a fresh Debian 12 machine: installs what is missing (as root),
# checks formatting, builds the host preset and runs its unit tests under ASan+UBSan, fuzzes
# the settings document and the browser list for a minute, builds the shipped 32-bit program
# and checks its binary, then builds the 64-bit Windows build and runs the Windows suites
# (adapters, robustness, end to end) under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}" "${ZOLV_FUZZ_PACKAGES[@]}" \
  "${ZOLV_WINE_PACKAGES[@]}"

scripts/check-format.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host -j2

# A minute of each fuzzing harness, side by side (scripts/fuzz.sh runs them longer).
scripts/fuzz.sh 60

cmake --preset win32 >/dev/null
cmake --build --preset win32
scripts/check-exe.sh build/win32/ZOLVWeb.exe i386

cmake --preset win64 >/dev/null
cmake --build --preset win64
scripts/check-exe.sh build/win64/ZOLVWeb.exe x86-64

export ZOLV_XVFB=1
source scripts/lib/wine.sh
trap zolv_stop_wine EXIT
zolv_start_wine
ctest --preset win64
