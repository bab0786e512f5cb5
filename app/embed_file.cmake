# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the bytes of IN as a C++ array: cmake -DIN=file -DOUT=file.cpp -DNAME=symbol -P embed_file.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){20})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUT}.tmp"
  "// Generated from ${IN}; do not edit.\n"
  "#include <cstddef>\n#include <cstdint>\n\n"
  "namespace rq {\n"
  "extern const std::uint8_t ${NAME}[${size}] = {\n  ${bytes}\n};\n"
  "extern const std::size_t ${NAME}Size = ${size};\n"
  "}  // namespace rq\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
