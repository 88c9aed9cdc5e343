# Test registration for both flavours.
#
# Every GoogleTest executable is one CTest test and writes a JUnit XML report into
# ORVIA_TEST_RESULTS; tools/test.sh adds those reports up into one passed/failed line.
# Cross-built tests run through tools/wine/wine-run.sh in a Wine session (a fresh prefix and an
# Xvfb display) that the wine_session fixture starts once per CTest run.
enable_testing()

set(ORVIA_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
set(ORVIA_ARTIFACTS ${CMAKE_BINARY_DIR}/artifacts)
set(ORVIA_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
file(MAKE_DIRECTORY ${ORVIA_TEST_RESULTS} ${ORVIA_ARTIFACTS})

if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(ORVIA_WINE_ARCH win64)
    else()
        set(ORVIA_WINE_ARCH win32)
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_SOURCE_DIR}/tools/wine/wine-run.sh --session ${ORVIA_WINE_SESSION})
    add_test(NAME wine_session_start
             COMMAND ${CMAKE_SOURCE_DIR}/tools/wine/wine-session.sh start ${ORVIA_WINE_SESSION}
                     ${ORVIA_WINE_ARCH})
    add_test(NAME wine_session_stop
             COMMAND ${CMAKE_SOURCE_DIR}/tools/wine/wine-session.sh stop ${ORVIA_WINE_SESSION})
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 300)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)
    # Wine sees the Linux file system as drive Z:.
    set(ORVIA_TEST_PATH_PREFIX "Z:")
else()
    set(ORVIA_TEST_PATH_PREFIX "")
endif()

# Paths handed to tests, in the form the test program's platform reads.
set(ORVIA_TEST_ENVIRONMENT
    "ORVIA_SOURCE_DIR=${ORVIA_TEST_PATH_PREFIX}${CMAKE_SOURCE_DIR}"
    "ORVIA_BINARY_DIR=${ORVIA_TEST_PATH_PREFIX}${CMAKE_BINARY_DIR}"
    "ORVIA_ARTIFACTS=${ORVIA_TEST_PATH_PREFIX}${ORVIA_ARTIFACTS}")

# orvia_add_gtest(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <seconds>])
function(orvia_add_gtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} testsupport GTest::gmock GTest::gtest_main)
    add_test(NAME ${name}
             COMMAND ${name}
                     --gtest_output=xml:${ORVIA_TEST_PATH_PREFIX}${ORVIA_TEST_RESULTS}/${name}.xml)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                                            ENVIRONMENT "${ORVIA_TEST_ENVIRONMENT}")
    if(WIN32)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session LABELS wine)
    else()
        set_tests_properties(${name} PROPERTIES LABELS native)
    endif()
endfunction()

# For a Windows test whose windows are shown: such tests take the display in turn, since a window
# activated by one test takes the keyboard focus from another's.
function(orvia_test_takes_display name)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_display)
endfunction()
