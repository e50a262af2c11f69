# tarvik_test(<name> SOURCES ... [LIBS ...] [ENV VAR=value ...] [DISPLAY] [DESKTOP] [LOCK name])
#
# One test program, run as one CTest test. In the Windows build it runs under
# Wine through the build's wine-run wrapper: with the null graphics driver by
# default, or with DISPLAY under its own Xvfb and Wine's shell (notification
# area). Tests that share a resource (a loopback port, the display prefix)
# take a LOCK. DESKTOP marks a program that shows windows, menus or message
# boxes: every program of the null driver's prefix shares one desktop, whose
# active window, focus and menus are one for all, so a window shown by one
# takes the focus from another's. Such programs take turns. TARVIK_TEST_TIMEOUT is each program's limit in seconds: more
# where the tests run under emulation (build/win32 in the virtual machine).
set(TARVIK_TEST_TIMEOUT 240 CACHE STRING "Seconds each test program may take")
function(tarvik_test name)
    cmake_parse_arguments(T "DISPLAY;DESKTOP" "" "SOURCES;LIBS;ENV;LOCK" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    # Shared test support is included as "<area>/<file>.h".
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(WIN32)
        set(xml "Z:${CMAKE_CURRENT_BINARY_DIR}/${name}.xml")
    else()
        set(xml "${CMAKE_CURRENT_BINARY_DIR}/${name}.xml")
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${xml})
    set(env ${T_ENV})
    set(locks ${T_LOCK})
    if(WIN32)
        if(T_DISPLAY)
            list(APPEND env TARVIK_WINE_MODE=x11)
            list(APPEND locks wine_x11)
            set(fixture wine_x11)
        else()
            set(fixture wine_null)
            if(T_DESKTOP)
                list(APPEND locks wine_null_desktop)
            endif()
        endif()
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${fixture})
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${TARVIK_TEST_TIMEOUT} ENVIRONMENT "${env}")
    if(locks)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
endfunction()

# tarvik_locale_runs(<test> <gtest filter>)
#
# Runs the tests of <test> that the filter names once more under each locale
# of TARVIK_OTHER_LOCALES (Windows builds): Wine gives the program the code
# page of the locale, as an English (1252) or a Chinese (936) Windows would,
# and the texts must still read in Russian and the settings keep their
# bytes. Each run is a CTest test of its own, <test>_<locale>, with the same
# fixture, locks, environment and limit as <test>; it fails when the filter
# names no test.
set(TARVIK_OTHER_LOCALES en_US.UTF-8 zh_CN.UTF-8)
function(tarvik_locale_runs name filter)
    if(NOT WIN32)
        return()
    endif()
    foreach(property ENVIRONMENT RESOURCE_LOCK FIXTURES_REQUIRED TIMEOUT)
        get_test_property(${name} ${property} ${property})
        if(NOT ${property})
            set(${property} "")
        endif()
    endforeach()
    foreach(locale ${TARVIK_OTHER_LOCALES})
        string(REGEX REPLACE "\\..*" "" short ${locale})
        set(run ${name}_${short})
        add_test(NAME ${run} COMMAND ${name} --gtest_filter=${filter}
                 --gtest_output=xml:Z:${CMAKE_CURRENT_BINARY_DIR}/${run}.xml)
        set(env ${ENVIRONMENT})
        list(APPEND env TARVIK_LANG=${locale})
        set_tests_properties(${run} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${TIMEOUT}
                             FAIL_REGULAR_EXPRESSION "\\[  PASSED  \\] 0 tests")
        if(RESOURCE_LOCK)
            set_tests_properties(${run} PROPERTIES RESOURCE_LOCK "${RESOURCE_LOCK}")
        endif()
        if(FIXTURES_REQUIRED)
            set_tests_properties(${run} PROPERTIES FIXTURES_REQUIRED "${FIXTURES_REQUIRED}")
        endif()
    endforeach()
endfunction()

# tarvik_test_dll(<name> SOURCES ... OUTPUT_NAME <file name without .dll> DIRECTORY <dir>)
# A test double of a system library, built into <dir>: from there a test puts
# it into the Wine prefix's system folder, or runs beside it.
function(tarvik_test_dll name)
    cmake_parse_arguments(T "" "OUTPUT_NAME;DIRECTORY" "SOURCES" ${ARGN})
    add_library(${name} SHARED ${T_SOURCES})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${T_OUTPUT_NAME}
                          RUNTIME_OUTPUT_DIRECTORY ${T_DIRECTORY})
    target_link_options(${name} PRIVATE -static -static-libgcc -Wl,--kill-at)
endfunction()
