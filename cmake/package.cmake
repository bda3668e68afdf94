# The Debian package: `cpack -G DEB` in a Release build on Linux (scripts/package.sh) makes
# velmora_<version>_<arch>.deb with the velmora program, the far2l plugin where Debian's far2l
# finds the plugins of the system, the shells' completion files, the manual page and the guide.

set(velmora_package_dir ${CMAKE_BINARY_DIR}/package)
set(velmora_doc_dir share/doc/velmora)

# far2l loads every plugin below /usr/lib/far2l/Plugins, with the language files beside it; the
# velmora program reads them there too.
get_target_property(velmora_lng_dir velmora_far2l_lng VELMORA_LNG_DIR)
install(FILES ${velmora_lng_dir}/VelmoraEng.lng ${velmora_lng_dir}/VelmoraRus.lng
        DESTINATION lib/far2l/Plugins/velmora/plug)
if(TARGET velmora_far2l)
    install(TARGETS velmora_far2l LIBRARY DESTINATION lib/far2l/Plugins/velmora/plug)
endif()

# The completion files are written by a small program from the same code as `velmora init`.
add_executable(velmora_completion_files
               ${PROJECT_SOURCE_DIR}/cli/shells/command_completion_files.cpp)
target_link_libraries(velmora_completion_files PRIVATE velmora_cli_shells)
set(velmora_completions
    ${velmora_package_dir}/velmora ${velmora_package_dir}/_velmora
    ${velmora_package_dir}/velmora.fish)
add_custom_command(
    OUTPUT ${velmora_completions}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${velmora_package_dir}
    COMMAND velmora_completion_files ${velmora_package_dir}
    DEPENDS velmora_completion_files
    COMMENT "Writing the shells' completion files of velmora"
    VERBATIM)

# Debian keeps manual pages and changelogs compressed, without a time stamp in the header. The
# manual page lists the panel's keys from the list F1 shows.
set(velmora_panel_keys ${PROJECT_SOURCE_DIR}/doc/keys/shell-panel.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${velmora_panel_keys})
execute_process(COMMAND sh ${PROJECT_SOURCE_DIR}/doc/keys/render.sh roff ${velmora_panel_keys}
                OUTPUT_VARIABLE VELMORA_PANEL_KEYS OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/doc/velmora.1 ${velmora_package_dir}/velmora.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog ${velmora_package_dir}/changelog @ONLY)
add_custom_command(
    OUTPUT ${velmora_package_dir}/velmora.1.gz ${velmora_package_dir}/changelog.gz
    COMMAND gzip -9nkf ${velmora_package_dir}/velmora.1 ${velmora_package_dir}/changelog
    DEPENDS ${velmora_package_dir}/velmora.1 ${velmora_package_dir}/changelog
    VERBATIM)

add_custom_target(velmora_package_files ALL
    DEPENDS ${velmora_completions} ${velmora_package_dir}/velmora.1.gz
            ${velmora_package_dir}/changelog.gz)

install(FILES ${velmora_package_dir}/velmora DESTINATION share/bash-completion/completions)
install(FILES ${velmora_package_dir}/_velmora DESTINATION share/zsh/vendor-completions)
install(FILES ${velmora_package_dir}/velmora.fish DESTINATION share/fish/vendor_completions.d)
install(FILES ${velmora_package_dir}/velmora.1.gz DESTINATION share/man/man1)
# The guide for Linux, the shells and far2l; the guide for Far on Windows goes with the DLLs.
install(FILES ${PROJECT_SOURCE_DIR}/doc/guide.md ${velmora_package_dir}/changelog.gz
              ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
        DESTINATION ${velmora_doc_dir})
# What lintian reports that is so on purpose, each with the reason.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides
        DESTINATION share/lintian/overrides RENAME velmora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmora authors <authors@velmora.dev>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "short names for directories, from a shell and in far2l")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora keeps short names for directories: store the current directory as\n\
proj once, and cd: proj takes you there from anywhere.\n\
The velmora program brings the names to bash, zsh, fish and POSIX shells,\n\
with Tab completion of the names and a full-screen panel to edit them. The\n\
same module is a plugin of far2l, where the names are typed behind cd: in\n\
its command line.")
# dpkg-shlibdeps finds the libraries the program and the modules need (SQLite, ncurses).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS far2l)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian/strip_comments.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian/drop_ldconfig_scripts.cmake)
include(CPack)
