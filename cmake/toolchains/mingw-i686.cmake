# Cross-build for Windows i686 with Debian's mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TIMERSET_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Floating point in SSE2 registers, as on x86_64, not in the x87 unit's 80-bit
# ones: the due rule then rounds alike in every build. Every processor that
# runs Windows 8 or later, or Windows 7 updated since March 2018, has SSE2
# (mingw-w64 then realigns the stack on entry, as Windows keeps it at 4 bytes).
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# This machine runs i686 code only in Wine's WoW64 mode, which needs Wine's own
# 32-bit Windows DLLs: scripts/deps.sh unpacks them here, never installed.
set(TIMERSET_WINE_DLLS ${CMAKE_CURRENT_LIST_DIR}/../../build/wine-i386/usr/lib/i386-linux-gnu/wine)
