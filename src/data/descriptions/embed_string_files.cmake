# cmake -DOUTPUT=file.cc -DINPUTS="a/1031.txt;a/1041.txt" -P embed_string_files.cmake
#
# Writes every string table file, byte for byte, into a C++ array so that the
# module carries its texts without reading files at run time. The language id
# is the file name without extension. Parsing is left to string_resources.cc,
# which keeps this script free of any knowledge of the format (and of the
# quoting rules CMake lists would impose on texts holding ';' or brackets).
set(body "// Generated from share/strings/*.txt by embed_string_files.cmake; do not edit.\n")
string(APPEND body "#include \"data/descriptions/embedded_string_files.h\"\n\nnamespace tavo {\nnamespace {\n\n")
set(entries "")
list(SORT INPUTS)
foreach(input IN LISTS INPUTS)
  get_filename_component(language ${input} NAME_WE)
  if(NOT language MATCHES "^[0-9]+$")
    message(FATAL_ERROR "string table ${input}: the file name must be a language id")
  endif()
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  # 0x.. bytes, 24 to a line; a trailing 0 keeps empty files valid C++.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){24})" "\\1\n    " bytes "${bytes}")
  string(APPEND body "const unsigned char kStrings${language}[] = {\n    ${bytes}0};\n\n")
  string(APPEND entries "    {${language}, kStrings${language}, ${size}},\n")
endforeach()
string(APPEND body "}  // namespace\n\nconst EmbeddedStringFile kEmbeddedStringFiles[] = {\n${entries}    {0, nullptr, 0}};\n\n}  // namespace tavo\n")

file(WRITE ${OUTPUT} "${body}")
