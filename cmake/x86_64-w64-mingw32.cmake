# Cross toolchain for the 64-bit build of the same sources. Machines whose kernel cannot run
# 32-bit code only have a 64-bit Wine, so the Windows test suites run against this build there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZOLV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
