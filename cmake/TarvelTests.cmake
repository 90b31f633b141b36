# Every test runs offscreen, finds the executables, and keeps its user settings (printer
# calibration) in the build folder, never in the user's own.
set(TARVEL_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;TARVEL_BIN=${CMAKE_BINARY_DIR}/bin"
    "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config")

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
        PROPERTIES ENVIRONMENT "${TARVEL_TEST_ENVIRONMENT}")
endfunction()

# tarvel_add_qtest(NAME SUITE <class> SOURCES ... CASES ...)
# One QtTest binary of window tests (linked with the window driver); every listed test
# function becomes its own CTest case <class>.<function>, run offscreen.
function(tarvel_add_qtest name)
    cmake_parse_arguments(ARG "" "SUITE" "SOURCES;CASES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE tarvel_windowdriver tarvel_warnings)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    foreach(case IN LISTS ARG_CASES)
        add_test(NAME ${ARG_SUITE}.${case} COMMAND ${name} ${case})
        set_tests_properties(${ARG_SUITE}.${case} PROPERTIES
            ENVIRONMENT "${TARVEL_TEST_ENVIRONMENT}"
            TIMEOUT 120)
    endforeach()
endfunction()
