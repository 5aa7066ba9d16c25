# Writes the bytes of INPUT as a comma-separated list of hex literals into OUTPUT,
# to be #included inside an array initializer. Run as: cmake -DINPUT=... -DOUTPUT=... -P
if(NOT DEFINED INPUT OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "embed_bytes.cmake needs -DINPUT=<file> -DOUTPUT=<file>")
endif()
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# 16 bytes per line keep the generated file readable in a diff or debugger.
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "${bytes}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
