# Shared part of the mingw-w64 toolchain files: compilers, search paths and how Windows test
# programs are run (through scripts/wine-exec.sh, which keeps Wine off ctest's pipes).
set(CMAKE_C_COMPILER ${ZOLV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZOLV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZOLV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZOLV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
