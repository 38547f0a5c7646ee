# Script mode: writes OUTPUT, a C++ source defining VAR as the bytes of INPUT plus a zero byte.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# Break the list into lines of 16 bytes for the compiler's sake.
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from ${INPUT}; do not edit.\n"
  "extern const char ${VAR}[];\n"
  "extern const unsigned long ${VAR}_size;\n"
  "const char ${VAR}[] = {\n  ${bytes}'\\0'};\n"
  "const unsigned long ${VAR}_size = ${size};\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
