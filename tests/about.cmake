# Help and About: QtTest programs tests/tst_<unit>.cpp, run offscreen with the
# scripted desktop of app/testing, and a check of the compiled help file.
if(TARGET doze_about AND TARGET doze_app_testing)
    doze_qt_tests(about LIBRARIES doze_about_testing doze_app_testing
                  UNITS key_value settings_store_linux sys_info frm_about)
endif()

find_program(DOZE_ENUM_CHMLIB enum_chmLib)
find_program(DOZE_EXTRACT_CHMLIB extract_chmLib)
if(TARGET doze_help AND DOZE_ENUM_CHMLIB AND DOZE_EXTRACT_CHMLIB)
    add_test(NAME about_help_file COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/test_help_file.sh
                                          ${DOZE_HELP_FILE} ${PROJECT_SOURCE_DIR}/help)
elseif(TARGET doze_help)
    message(WARNING "enum_chmLib/extract_chmLib not found (package libchm-bin): "
                    "the help file test is left out")
endif()
