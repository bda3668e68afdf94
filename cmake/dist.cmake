# dist/Velmora/: what a user copies into the host's Plugins folder (the 32-bit DLL, both
# language files and the user guide), and a zip of it. Built with the 32-bit Windows plugin.
set(VELMORA_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
add_custom_target(dist ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VELMORA_DIST_DIR}/Velmora
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_DIST_DIR}/Velmora
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Velmora>
            ${PROJECT_SOURCE_DIR}/lng/VelmoraEng.lng ${PROJECT_SOURCE_DIR}/lng/VelmoraRus.lng
            ${PROJECT_SOURCE_DIR}/doc/UserGuide.txt ${VELMORA_DIST_DIR}/Velmora/
    COMMAND ${CMAKE_COMMAND} -E chdir ${VELMORA_DIST_DIR}
            ${CMAKE_COMMAND} -E tar cf Velmora.zip --format=zip Velmora
    DEPENDS Velmora
    COMMENT "Assembling dist/Velmora and dist/Velmora.zip")
