# Cross-build for Windows with Debian's MinGW-w64: produces I_VELA.DLL and
# Windows test hosts. Included by mingw-i686.cmake (32-bit Windows hosts)
# and mingw-x86_64.cmake (64-bit Windows hosts), which set
# CMAKE_SYSTEM_PROCESSOR, VELA_MINGW_PREFIX and the wine loader first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VELA_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${VELA_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${VELA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
