# The desktop program: QtTest programs tests/tst_<unit>.cpp, run offscreen with
# the scripted desktop services of app/testing.
if(TARGET doze_app)
    foreach(unit volume_table drive_list folder_list frm_progress list_run frm_main frm_title)
        add_executable(tst_${unit} ${CMAKE_CURRENT_LIST_DIR}/tst_${unit}.cpp)
        set_target_properties(tst_${unit} PROPERTIES AUTOMOC ON)
        target_link_libraries(tst_${unit} PRIVATE doze_app_testing Qt6::Test)
        add_test(NAME app_${unit} COMMAND tst_${unit})
        set_tests_properties(app_${unit} PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    endforeach()
endif()
