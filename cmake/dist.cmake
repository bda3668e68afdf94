# dist/: what a user copies into the host's Plugins folder, one folder per width of the host,
# since Far x64 loads only 64-bit plugins and Far x86 only 32-bit ones: dist/Velmora/ from the
# 32-bit build, dist/Velmora64/ from the 64-bit one, each with the DLL, both language files and
# the user guide and the licence, and a zip of each. Each build replaces only its own folder and zip.
set(VELMORA_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VELMORA_DIST_FOLDER Velmora64)
else()
    set(VELMORA_DIST_FOLDER Velmora)
endif()
add_custom_target(dist ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VELMORA_DIST_DIR}/${VELMORA_DIST_FOLDER}
            ${VELMORA_DIST_DIR}/${VELMORA_DIST_FOLDER}.zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_DIST_DIR}/${VELMORA_DIST_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Velmora>
            ${PROJECT_SOURCE_DIR}/lng/VelmoraEng.lng ${PROJECT_SOURCE_DIR}/lng/VelmoraRus.lng
            ${PROJECT_SOURCE_DIR}/doc/UserGuide.txt ${PROJECT_SOURCE_DIR}/LICENSE
            ${VELMORA_DIST_DIR}/${VELMORA_DIST_FOLDER}/
    COMMAND ${CMAKE_COMMAND} -E chdir ${VELMORA_DIST_DIR}
            ${CMAKE_COMMAND} -E tar cf ${VELMORA_DIST_FOLDER}.zip --format=zip
            ${VELMORA_DIST_FOLDER}
    DEPENDS Velmora
    COMMENT "Assembling dist/${VELMORA_DIST_FOLDER} and dist/${VELMORA_DIST_FOLDER}.zip")
