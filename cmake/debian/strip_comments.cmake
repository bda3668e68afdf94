# Run by CPack before it makes the package (CPACK_PRE_BUILD_SCRIPTS): takes the .comment section,
# the compilers' names and versions that every object file brings, out of the staged programs and
# libraries. Nothing reads it at run time, and the plain strip that CPack runs leaves it.
file(GLOB_RECURSE velmora_staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(velmora_file IN LISTS velmora_staged)
    file(READ "${velmora_file}" velmora_magic LIMIT 4 HEX)
    if(velmora_magic STREQUAL "7f454c46")
        execute_process(COMMAND objcopy --remove-section=.comment "${velmora_file}"
                        RESULT_VARIABLE velmora_result)
        if(NOT velmora_result EQUAL 0)
            message(FATAL_ERROR "objcopy could not take .comment out of ${velmora_file}")
        endif()
    endif()
endforeach()
