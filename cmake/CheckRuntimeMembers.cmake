# Run after the program is linked, with MAP naming the linker's map of it. The program replaces
# two pieces of GCC's C++ runtime with smaller ones of its own (platform/win32/runtime/, whose
# README.md gives the rules of the size budget); the replacements take effect only while the
# runtime keeps those symbols in the archive members below. Another runtime (verified with Debian's mingw-w64 GCC 12.2) may
# move or rename them, and the program would silently link the runtime's versions and their
# dependencies again: that fails the build here instead.
file(READ "${MAP}" map)
foreach(member functexcept vterminate cp-demangle)
  if(map MATCHES "libstdc\\+\\+\\.a\\(${member}\\.o\\)")
    message(FATAL_ERROR "The program links the C++ runtime's ${member}.o, which it replaces: "
                        "see platform/win32/runtime/README.md")
  endif()
endforeach()
