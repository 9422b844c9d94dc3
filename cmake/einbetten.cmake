# Embeds a file into the build as a C++ header: cmake -DEIN=file -DAUS=header
# -DNAME=identifier -P einbetten.cmake. The header defines
# `inline constexpr char NAME[]` with the file's bytes and a NUL after them.
file(READ "${EIN}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# Lines of 16 bytes keep the header readable for a compiler's diagnostics.
string(REGEX REPLACE "(('[^']+',){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${AUS}.neu" "// Generated from ${EIN}; do not edit.\n#pragma once\n\ninline constexpr char ${NAME}[] = {\n${bytes}'\\0'};\n")
file(COPY_FILE "${AUS}.neu" "${AUS}" ONLY_IF_DIFFERENT)
file(REMOVE "${AUS}.neu")
