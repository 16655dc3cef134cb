add_library(doze_test_support STATIC test_support/temp_tree.cpp test_support/list_fixture.cpp
            test_support/child.cpp test_support/deep_tree.cpp)
target_include_directories(doze_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(doze_test_support PUBLIC doze_output GTest::gtest)

foreach(unit search_state path_text pattern mount_table walker size_format text_codec
             safe_file text_writer html_writer)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/test_${unit}.cpp)
        add_executable(test_${unit} test_${unit}.cpp)
        target_link_libraries(test_${unit} PRIVATE doze_test_support GTest::gtest_main)
        add_test(NAME ${unit} COMMAND test_${unit})
    endif()
endforeach()

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/test_cli.sh)
    add_test(NAME cli COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/test_cli.sh
             $<TARGET_FILE:dozedozovo-list>)
endif()
