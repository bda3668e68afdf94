# Writes OUTPUT, a C++ source that holds the files INPUTS (a list) whole, in the order given, as
# the array ARRAY of EmbeddedText (cli/output/embedded_text.h) that HEADER (embedded_texts.h
# unless given) declares, and its length, ARRAYCount: what a program needs at every start is
# built into it, so that a copy of it alone still works. Run as
# `cmake -DOUTPUT=... -DARRAY=... [-DHEADER=...] -DINPUTS=... -P`.
if(NOT HEADER)
    set(HEADER embedded_texts.h)
endif()
set(source "// Written by cmake/embed_texts.cmake from the files named below; do not edit.\n")
string(APPEND source "#include \"${HEADER}\"\n\nconst EmbeddedText ${ARRAY}[] = {\n")
foreach(input IN LISTS INPUTS)
    file(READ ${input} bytes HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${bytes}")
    # Broken into lines of 32 bytes, each a string literal of its own.
    string(REPEAT "\\\\x[0-9a-f][0-9a-f]" 32 line)
    string(REGEX REPLACE "(${line})" "\\1\"\n    \"" escaped "${escaped}")
    get_filename_component(name ${input} NAME)
    string(LENGTH "${bytes}" hex_length)
    math(EXPR size "${hex_length} / 2")
    string(APPEND source "    {\"${name}\", ${size},\n    \"${escaped}\"},\n")
endforeach()
string(APPEND source "};\nconst int ${ARRAY}Count = sizeof ${ARRAY} / sizeof ${ARRAY}[0];\n")
file(WRITE ${OUTPUT}.new "${source}")
configure_file(${OUTPUT}.new ${OUTPUT} COPYONLY)
file(REMOVE ${OUTPUT}.new)
