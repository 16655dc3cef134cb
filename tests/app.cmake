# The desktop program: QtTest programs tests/tst_<unit>.cpp, run offscreen with
# the scripted desktop services of app/testing.
if(TARGET doze_app)
    doze_qt_tests(app LIBRARIES doze_app_testing
                  UNITS drive_list folder_list list_run frm_main)
endif()
