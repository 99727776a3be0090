# Debian packages the scripts need, and installing the missing ones (as root) or saying how.

ZOLV_BUILD_PACKAGES=(
  cmake ninja-build g++ clang-format googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 nsis zip
)
# The 32-bit Wine runs the program we ship where the kernel runs 32-bit code (it installs on
# every machine; zolv_windows_preset finds out whether it runs).
ZOLV_WINE_PACKAGES=(wine wine64 wine32:i386 xvfb xauth x11-utils fonts-wine imagemagick)
# libFuzzer comes with clang's runtime libraries.
ZOLV_FUZZ_PACKAGES=(clang libclang-rt-dev)
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
  local add_i386=false
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    add_i386=true
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. As root, run:" >&2
    echo "  $($add_i386 && echo 'dpkg --add-architecture i386 && ')apt-get update &&" \
      "apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  ! $add_i386 || dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/tmp/zolv-apt.log 2>&1 || { tail -30 /tmp/zolv-apt.log >&2; exit 1; }
}
