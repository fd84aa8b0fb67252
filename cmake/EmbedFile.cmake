# Writes a C++ source holding a file's bytes as a std::array (used for the title bitmaps).
#   cmake -DINPUT=file.bmp -DOUTPUT=out.cpp -DIDENT=kLogoEng -DHEADER=path/to/header.h
#         -DNAMESPACE=veltrix::monitor::logo_data -DSIZE_CONSTANT=kLogoFileSize -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR byteCount "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# One line per 24 bytes keeps the generated file readable in a debugger.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){24})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${INPUT}. Do not edit.\n"
"#include \"${HEADER}\"\n\n"
"namespace ${NAMESPACE} {\n\n"
"static_assert(${SIZE_CONSTANT} == ${byteCount}, \"the picture's size changed: rerun tools/make_logos.py\");\n"
"const std::array<std::uint8_t, ${SIZE_CONSTANT}> ${IDENT}{{\n    ${bytes}\n}};\n\n"
"}  // namespace ${NAMESPACE}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
