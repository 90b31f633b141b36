# Run after a QtTest binary is built: writes its test functions (as the binary lists them
# with -functions) to OUTPUT as `set(tarvel_cases ...)`, so that every function becomes a
# CTest case without being listed by hand.
#   cmake -D PROGRAM=<binary> -D OUTPUT=<file> -P QtTestCases.cmake
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} -functions
    OUTPUT_VARIABLE listed
    ERROR_VARIABLE errors
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} -functions failed (${result}): ${errors}")
endif()
string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*\\(\\)" functions "${listed}")
set(cases)
foreach(function IN LISTS functions)
    string(REPLACE "()" "" function "${function}")
    if(function MATCHES "^(initTestCase|cleanupTestCase|init|cleanup)$|_data$")
        continue()
    endif()
    list(APPEND cases ${function})
endforeach()
if(NOT cases)
    message(FATAL_ERROR "${PROGRAM} lists no test functions: ${listed}")
endif()
file(WRITE "${OUTPUT}" "set(tarvel_cases ${cases})\n")
