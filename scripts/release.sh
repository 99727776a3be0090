#!/usr/bin/env bash
# Builds what is handed to administrators, from the win32 preset, and puts it in a folder:
#   ZOLVOnline-Setup-<version>.exe       the installer
#   ZOLVOnline-<version>-portable.zip    ZOLVWeb.exe, site.ini.example and LEEME.txt
#   SHA256SUMS
# Usage: scripts/release.sh [build folder (build/win32)] [output folder (build/dist)]
#
# The same sources give the same bytes: the binaries hold no time stamp, and the zip's entries
# have fixed times (SOURCE_DATE_EPOCH, by default the last commit's), order and modes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/deps.sh
zolv_require_packages "${ZOLV_BUILD_PACKAGES[@]}"
build=${1:-build/win32}
dist=${2:-build/dist}
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}

cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" --target ZOLVWeb installer
scripts/check-exe.sh "$build/ZOLVWeb.exe" i386
scripts/check-exe.sh "$build/installer/plugin/ZOLVSite.dll" i386 dll
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup=ZOLVOnline-Setup-$version.exe
portable=ZOLVOnline-$version-portable.zip

rm -rf "$dist"
mkdir -p "$dist/portable"
cp "$build/$setup" "$dist/"
cp "$build/ZOLVWeb.exe" "$dist/portable/"
# Texts for Windows: CR LF line ends, and a UTF-8 mark so that Notepad shows the accents.
windows_text() {
  printf '\357\273\277'
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"
}
windows_text installer/LEEME.txt >"$dist/portable/LEEME.txt"
windows_text installer/site.ini.example >"$dist/portable/site.ini.example"

(
  cd "$dist/portable"
  files=(ZOLVWeb.exe site.ini.example LEEME.txt)
  chmod 644 "${files[@]}"
  touch -d "@$SOURCE_DATE_EPOCH" "${files[@]}"
  TZ=UTC zip -q -X -D "../$portable" "${files[@]}"
)
rm -rf "$dist/portable"
(cd "$dist" && sha256sum "$setup" "$portable" >SHA256SUMS)

echo "Release $version in $dist:"
(cd "$dist" && ls -l "$setup" "$portable" && cat SHA256SUMS)
