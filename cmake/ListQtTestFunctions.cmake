# Run after a Qt Test binary is built: writes a ctest file with one test per
# test function, named Class.function, so that the functions run side by side
# and each can run alone (ctest -R FormTest.keystrokes). As
# gtest_discover_tests does for GoogleTest, the binary itself says what it holds.
#   cmake -D binary=... -D output=... -P ListQtTestFunctions.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= ${binary} -datatags
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${binary} -datatags ended with ${status}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(functions)
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z_0-9]+) ([A-Za-z_0-9]+)")
        list(APPEND functions "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
    endif()
endforeach()
list(REMOVE_DUPLICATES functions)
set(script "")
foreach(test IN LISTS functions)
    string(REGEX REPLACE "^[^.]*\\." "" function "${test}")
    string(APPEND script "add_test([=[${test}]=] \"${binary}\" ${function})\n"
                         "set_tests_properties([=[${test}]=] PROPERTIES ENVIRONMENT \"QT_QPA_PLATFORM=offscreen;QT_QPA_PLATFORMTHEME=\")\n")
endforeach()
file(WRITE "${output}" "${script}")
