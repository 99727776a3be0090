# shellcheck shell=bash
# The Windows presets as the release scripts name their outputs, and the version a build folder
# was configured with. Source it.

# zolv_preset_facts PRESET: sets ZOLV_MACHINE (what check-exe.sh expects of its binaries),
# ZOLV_SUFFIX (in the release's file names) and ZOLV_PROCESSOR (in the installer tests' Wine
# prefix) for win32 or win64; fails, saying so, for any other preset.
zolv_preset_facts() {
  case $1 in
    win32) ZOLV_MACHINE=i386 ZOLV_SUFFIX='' ZOLV_PROCESSOR=i686 ;;
    win64) ZOLV_MACHINE=x86-64 ZOLV_SUFFIX=-x64 ZOLV_PROCESSOR=x86_64 ;;
    *) echo "$(basename "$0"): unknown preset $1" >&2; return 2 ;;
  esac
}

# zolv_built_version BUILD: the project version the build folder was configured with.
zolv_built_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}
