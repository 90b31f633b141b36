# tarvel_add_gtest(NAME SOURCES ... [LIBS ...])
# One GoogleTest binary per library folder; every TEST becomes its own CTest case.
function(tarvel_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarvel_testsupport GTest::gtest_main
                                          tarvel_warnings)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        NO_PRETTY_VALUES # parameter rows carry their own names; no object dumps in test names
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARVEL_BIN=${CMAKE_BINARY_DIR}/bin")
endfunction()
