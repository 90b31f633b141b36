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

# tarvel_add_qtest(NAME SUITE <class> SOURCES ...)
# One QtTest binary of window tests (linked with the window driver); every test function of
# the class becomes its own CTest case <class>.<function>, run offscreen. The functions are
# read from the binary after each build, so none can be left out of the runs.
set(TARVEL_QTEST_CASES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/QtTestCases.cmake)
function(tarvel_add_qtest name)
    cmake_parse_arguments(ARG "" "SUITE" "SOURCES;CASES" ${ARGN})
    if(ARG_CASES)
        message(AUTHOR_WARNING "${name}: CASES is ignored; the cases are read from the binary")
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE tarvel_windowdriver tarvel_warnings)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    set(cases_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_cases.cmake)
    add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -D PROGRAM=$<TARGET_FILE:${name}> -D OUTPUT=${cases_file}
                -P ${TARVEL_QTEST_CASES_SCRIPT}
        BYPRODUCTS ${cases_file}
        VERBATIM)
    # Read by CTest: one case per function listed, or one that fails while nothing is built.
    set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake)
    file(GENERATE OUTPUT ${include_file} CONTENT
"if(EXISTS \"${cases_file}\")
    include(\"${cases_file}\")
    foreach(case IN LISTS tarvel_cases)
        add_test(\"${ARG_SUITE}.\${case}\" \"$<TARGET_FILE:${name}>\" \"\${case}\")
        set_tests_properties(\"${ARG_SUITE}.\${case}\" PROPERTIES
            ENVIRONMENT \"${TARVEL_TEST_ENVIRONMENT}\" TIMEOUT 120)
    endforeach()
else()
    add_test(${ARG_SUITE}_NOT_BUILT ${ARG_SUITE}_NOT_BUILT)
endif()
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
