# SPDX-License-Identifier: MIT
# Where the desktop program and its help go below the install prefix. The
# program finds its help pages from its own folder, so the way from the one to
# the other is worked out here, once, for the build and the install alike.
set(DOZE_PROGRAM_DIR lib/dozedozovo)
if(IS_ABSOLUTE "${CMAKE_INSTALL_DOCDIR}")
    message(FATAL_ERROR "CMAKE_INSTALL_DOCDIR must be relative to the prefix: the program "
                        "finds its help pages there from ${DOZE_PROGRAM_DIR}")
endif()
set(DOZE_HELP_PAGES_DIR ${CMAKE_INSTALL_DOCDIR}/help)
file(RELATIVE_PATH DOZE_HELP_PAGES_FROM_PROGRAM /prefix/${DOZE_PROGRAM_DIR}
     /prefix/${DOZE_HELP_PAGES_DIR})
