# Compiles a source that includes HEADER, with the include directories BELOW (a layer's), which
# must refuse it as missing, and ABOVE (the layer above), which must take it.
function(compile_with directories result output)
    set(flags)
    foreach(directory IN LISTS directories)
        list(APPEND flags -I${directory})
    endforeach()
    # A source of each check's own, as the checks may run at once.
    string(MAKE_C_IDENTIFIER ${HEADER} name)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/includes_${name}.cpp)
    file(WRITE ${source} "#include \"${HEADER}\"\n")
    execute_process(COMMAND ${COMPILER} -std=c++17 -fsyntax-only ${flags} ${source}
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(${result} ${code} PARENT_SCOPE)
    set(${output} "${out}" PARENT_SCOPE)
endfunction()

compile_with("${BELOW}" below_code below_output)
if(below_code EQUAL 0 OR NOT below_output MATCHES "${HEADER}: No such file")
    message(FATAL_ERROR "${HEADER} is within reach of the layer below it:\n${below_output}")
endif()
compile_with("${ABOVE}" above_code above_output)
if(NOT above_code EQUAL 0)
    message(FATAL_ERROR "${HEADER} does not compile in its own layer:\n${above_output}")
endif()
