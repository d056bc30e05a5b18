# cmake -DIN=file -DOUT=file.cpp -DNAME=SYMBOL -P embed.cmake
# Writes a C++ file holding IN's bytes as SYMBOL[] and SYMBOL_SIZE.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" hex_len)
math(EXPR size "${hex_len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\n#include <cstddef>\n"
  "extern const unsigned char ${NAME}[] = {\n${bytes}\n};\n"
  "extern const size_t ${NAME}_SIZE = ${size};\n")
