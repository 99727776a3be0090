# shellcheck shell=bash
# Debian packages the scripts need, and installing the missing ones (as root) or saying how.
#
# A package mirror is now and then half-synced: one index of many fails to download, and with
# it go the packages only that index has. apt-get update is retried a few times, then the
# scripts go on with the indexes that were fetched, saying which one failed. apt's own checks
# are never got around: what apt will not verify does not go on the machine.

ZOLV_BUILD_PACKAGES=(
  cmake ninja-build g++ clang-format googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 nsis wixl msitools zip
)
ZOLV_WINE_PACKAGES=(wine wine64 xvfb xauth x11-utils fonts-wine imagemagick)
# The 32-bit Wine runs the program we ship. It is installed on its own, when it can be: its i386
# libraries must match the amd64 ones already installed, and a missing i386 index makes that
# impossible. Without it the Windows programs run as their 64-bit build (zolv_choose_windows_build
# in wine.sh says so).
ZOLV_WINE32_PACKAGE=wine32:i386
# libFuzzer comes with clang's runtime libraries.
ZOLV_FUZZ_PACKAGES=(clang libclang-rt-dev)
# Signing a release, and the test command's throwaway certificate.
ZOLV_SIGN_PACKAGES=(osslsigncode openssl unzip)
ZOLV_BENCH_PACKAGES=(libbenchmark-dev libinih-dev jq)

ZOLV_APT_DIR=${ZOLV_APT_DIR:-$PWD/build/apt}
# Why the 32-bit Wine is missing, in one line, for zolv_choose_windows_build.
ZOLV_WINE32_MISSING=$ZOLV_APT_DIR/wine32-missing.txt

zolv_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# zolv_apt_update: apt-get update once per command, retried up to three times; when indexes
# still fail, one line names them and the packages come from the indexes that were fetched.
zolv_apt_update() {
  [ -z "${ZOLV_APT_UPDATED:-}" ] || return 0
  export ZOLV_APT_UPDATED=1
  mkdir -p "$ZOLV_APT_DIR"
  local log=$ZOLV_APT_DIR/update.log try
  for try in 1 2 3; do
    apt-get update -qq >"$log" 2>&1 && return 0
    [ "$try" -eq 3 ] || sleep $((try * 5))
  done
  # One "E: Failed to fetch <url>  <reason> [IP: ...]" per index, and apt's summary of them.
  local failed
  failed=$(grep '^E: ' "$log" | grep -v '^E: Some index files failed to download' |
    sed 's/^E: Failed to fetch \([^ ]*\) *\(.*\)$/\1 (\2)/; s/^E: //; s/ *\[IP: [^]]*\]//' |
    paste -sd ';' -)
  echo "apt-get update failed three times, going on with the indexes it fetched: $failed"
}

# zolv_require_packages PKG...: installs what is missing when root, else prints the apt
# command and exits. A package that cannot be installed stops the command with apt's reason.
zolv_require_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    zolv_installed "$pkg" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. As root, run:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  zolv_apt_update
  local log=$ZOLV_APT_DIR/install.log
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >"$log" 2>&1 || {
    tail -30 "$log" >&2
    echo "Could not install the packages above; apt's log: $log" >&2
    exit 1
  }
}

# zolv_offer_wine32: installs the 32-bit Wine when it can; when it cannot, writes why to
# $ZOLV_WINE32_MISSING and goes on.
zolv_offer_wine32() {
  mkdir -p "$ZOLV_APT_DIR"
  rm -f "$ZOLV_WINE32_MISSING"
  zolv_installed "$ZOLV_WINE32_PACKAGE" && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "not installed; as root: dpkg --add-architecture i386 && apt-get update &&" \
      "apt-get install $ZOLV_WINE32_PACKAGE" >"$ZOLV_WINE32_MISSING"
    return 0
  fi
  echo "Installing: $ZOLV_WINE32_PACKAGE"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    unset ZOLV_APT_UPDATED
  fi
  zolv_apt_update
  local log=$ZOLV_APT_DIR/wine32.log
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "$ZOLV_WINE32_PACKAGE" >"$log" 2>&1; then
    # apt's verdict, and the first i386 package it could not satisfy.
    local verdict unmet
    verdict=$(grep '^E: ' "$log" | tail -1 | sed 's/^E: //; s/[.]$//')
    unmet=$(grep -m1 '^ *[^ ]*:i386 : Depends:' "$log" | sed 's/^ *//; s/  */ /g')
    echo "apt: $verdict${unmet:+; $unmet}; see $log" >"$ZOLV_WINE32_MISSING"
  fi
}
