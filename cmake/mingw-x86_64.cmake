# Cross-build for 64-bit Windows hosts (I_VELA.DLL for x86-64). Use with
#   cmake --toolchain cmake/mingw-x86_64.cmake -DVELA_TESTS=OFF ...
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELA_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Cross-built programs run under wine's 64-bit loader, which needs no
# 32-bit support from the kernel.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
