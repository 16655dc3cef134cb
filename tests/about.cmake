# Help and About: QtTest programs tests/tst_<unit>.cpp, run offscreen with the
# scripted desktop of app/testing, and a check of the compiled help file.
if(TARGET doze_about AND TARGET doze_app_testing)
    foreach(unit help_contents key_value settings_store_linux sys_info frm_about)
        add_executable(tst_${unit} ${CMAKE_CURRENT_LIST_DIR}/tst_${unit}.cpp)
        set_target_properties(tst_${unit} PROPERTIES AUTOMOC ON)
        target_link_libraries(tst_${unit} PRIVATE doze_about_testing doze_app_testing Qt6::Test)
        add_test(NAME about_${unit} COMMAND tst_${unit})
        set_tests_properties(about_${unit} PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    endforeach()
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
