# Run by CPack once it made the package (CPACK_POST_BUILD_SCRIPTS). CPack gives a package whose
# shared object lies in a folder below /usr/lib a postinst and a postrm that run ldconfig. Ours
# lie in folders of their own, which the dynamic loader never searches (the program and far2l
# load them by path), so ldconfig has nothing to do for them: the package is made again without
# the two scripts, as long as running ldconfig is all they do.
foreach(velmora_package IN LISTS CPACK_PACKAGE_FILES)
    set(velmora_tree "${velmora_package}.tree")
    file(REMOVE_RECURSE "${velmora_tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${velmora_package}" "${velmora_tree}"
                    RESULT_VARIABLE velmora_result)
    if(NOT velmora_result EQUAL 0)
        message(FATAL_ERROR "dpkg-deb could not open ${velmora_package}")
    endif()
    foreach(velmora_script postinst postrm)
        set(velmora_script_file "${velmora_tree}/DEBIAN/${velmora_script}")
        if(EXISTS "${velmora_script_file}")
            file(STRINGS "${velmora_script_file}" velmora_lines)
            list(FILTER velmora_lines EXCLUDE REGEX
                 "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|[\t ]*ldconfig|fi|)$")
            if(velmora_lines)
                message(FATAL_ERROR "${velmora_script} does more than run ldconfig: ${velmora_lines}")
            endif()
            file(REMOVE "${velmora_script_file}")
        endif()
    endforeach()
    execute_process(COMMAND dpkg-deb --root-owner-group --build "${velmora_tree}"
                            "${velmora_package}"
                    OUTPUT_QUIET RESULT_VARIABLE velmora_result)
    file(REMOVE_RECURSE "${velmora_tree}")
    if(NOT velmora_result EQUAL 0)
        message(FATAL_ERROR "dpkg-deb could not make ${velmora_package} again")
    endif()
endforeach()
