# Debian packages the scripts need, and installing the missing ones (as root) or saying how.

ZOLV_BUILD_PACKAGES=(
  cmake ninja-build g++ clang-format googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 nsis wixl zip
)
ZOLV_WINE_PACKAGES=(wine wine64 xvfb xauth fonts-wine imagemagick)
# libFuzzer comes with clang's runtime libraries.
ZOLV_FUZZ_PACKAGES=(clang libclang-rt-dev)
# Signing a release, and the test command's throwaway certificate.
ZOLV_SIGN_PACKAGES=(osslsigncode openssl unzip)
ZOLV_BENCH_PACKAGES=(libbenchmark-dev libinih-dev jq)

# zolv_require_packages PKG...: installs what is missing when root, else prints the apt
# command and exits.
zolv_require_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. As root, run:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/tmp/zolv-apt.log 2>&1 || { tail -30 /tmp/zolv-apt.log >&2; exit 1; }
}
