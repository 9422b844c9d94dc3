# Cross-build for 32-bit Windows hosts (I_VELA.DLL for i686). Use with
#   cmake --toolchain cmake/mingw-i686.cmake -DVELA_TESTS=OFF ...
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELA_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Cross-built programs run under wine's 32-bit loader.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
