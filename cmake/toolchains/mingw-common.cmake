# Shared part of the mingw-w64 toolchain files; the caller sets TIMERSET_MINGW_TRIPLE.
set(CMAKE_C_COMPILER ${TIMERSET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIMERSET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TIMERSET_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TIMERSET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: the C++ and thread runtimes linked in, so it needs
# no DLL beyond those that ship with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# x86_64 programs run under Wine as they are (i686 ones: mingw-i686.cmake).
if(TIMERSET_MINGW_TRIPLE MATCHES "^x86_64")
  find_program(TIMERSET_WINE NAMES wine64 wine)
  if(TIMERSET_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TIMERSET_WINE})
  endif()
endif()
