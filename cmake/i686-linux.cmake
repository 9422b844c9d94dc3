# 32-bit x86 Linux build on an x86-64 machine (gcc -m32 with Debian's
# multilib), for the exact 32-bit layouts of the exported variables:
#   cmake --toolchain cmake/i686-linux.cmake -DVELA_M32=ON ...
#
# Some x86-64 kernels run no 32-bit programs. At configure time a tiny
# -m32 program is built and run; when it does not run, every 32-bit test
# program runs under qemu-i386 (Debian's qemu-user), which add_test and
# gtest_discover_tests take from CMAKE_CROSSCOMPILING_EMULATOR.
# -DVELA_M32_EMULATOR=/usr/bin/qemu-i386 (or VELA_M32_RUN=qemu in the
# environment) forces the emulator; -DVELA_M32_EMULATOR= (empty, or
# VELA_M32_RUN=native) the native run.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)

if(NOT DEFINED VELA_M32_EMULATOR)
  # VELA_M32_RUN=qemu or =native in the environment decides without the probe.
  set(ran 1)
  if("$ENV{VELA_M32_RUN}" STREQUAL "native")
    set(ran 0)
  elseif(NOT "$ENV{VELA_M32_RUN}" STREQUAL "qemu")
    set(probe_dir ${CMAKE_BINARY_DIR}/CMakeFiles/vela-m32-probe)
    file(MAKE_DIRECTORY ${probe_dir})
    file(WRITE ${probe_dir}/probe.c "int main(void) { return sizeof(void *) == 4 ? 0 : 1; }\n")
    execute_process(COMMAND gcc -m32 probe.c -o probe WORKING_DIRECTORY ${probe_dir}
      RESULT_VARIABLE built OUTPUT_QUIET ERROR_QUIET)
    if(NOT built EQUAL 0)
      message(FATAL_ERROR "gcc -m32 cannot build a program: install g++-multilib (scripts/deps)")
    endif()
    execute_process(COMMAND ${probe_dir}/probe RESULT_VARIABLE ran OUTPUT_QUIET ERROR_QUIET)
  endif()
  set(emulator "")
  if(NOT ran EQUAL 0)
    find_program(VELA_QEMU_I386 qemu-i386)
    if(NOT VELA_QEMU_I386)
      message(FATAL_ERROR
        "this kernel runs no 32-bit programs and qemu-i386 is missing: install qemu-user (scripts/deps)")
    endif()
    set(emulator ${VELA_QEMU_I386})
  endif()
  set(VELA_M32_EMULATOR "${emulator}" CACHE STRING
    "Runs the 32-bit test programs (empty: natively)")
endif()
# try_compile projects read this file again: they take the answer as it is.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELA_M32_EMULATOR)
if(VELA_M32_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELA_M32_EMULATOR})
endif()
