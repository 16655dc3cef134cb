# The install test: installs the build into a temporary folder and checks the
# layout, the menu entry, the metainfo, the icons, the man pages and the
# installed dozedozovo-list. Each part the build makes must be installed.
set(doze_install_program 0)
set(doze_install_help 0)
set(doze_install_desktop 0)
if(TARGET dozedozovo)
    set(doze_install_program 1)
endif()
if(TARGET doze_help)
    set(doze_install_help 1)
endif()
if(DOZE_INSTALL_DESKTOP_FILES)
    set(doze_install_desktop 1)
endif()
add_test(NAME install
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/test_install.sh ${CMAKE_BINARY_DIR}
                 ${doze_install_program} ${doze_install_help} ${doze_install_desktop})
