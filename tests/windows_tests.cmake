# The Windows build's tests. The unit tests are built for Windows like the tool and run under Wine
# through CMAKE_CROSSCOMPILING_EMULATOR, with GoogleTest built from source by the same compiler.
# The end-to-end and terminal tests need POSIX (fork, pipes, tmux), so a native build of them,
# made beside this one, runs the Windows executable under Wine.
if(CMAKE_CROSSCOMPILING)
    set(ZELVO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
        "GoogleTest sources to build for the target (Debian: package googletest)")
    # Without them the tool still builds; the test preset fails on finding no tests.
    if(NOT EXISTS ${ZELVO_GOOGLETEST_SOURCE}/googletest/CMakeLists.txt OR
       NOT CMAKE_CROSSCOMPILING_EMULATOR)
        message(WARNING "No Windows tests: they need GoogleTest's sources in "
                        "${ZELVO_GOOGLETEST_SOURCE} (Debian: googletest) and Wine (wine64).")
        return()
    endif()
    add_subdirectory(${ZELVO_GOOGLETEST_SOURCE}/googletest ${CMAKE_BINARY_DIR}/googletest
                     EXCLUDE_FROM_ALL SYSTEM)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Under Wine every test needs the server that the fixture below keeps up.
if(ZELVO_UNDER_WINE)
    set(zelvo_wine_fixture FIXTURES_REQUIRED wine_server)
endif()

add_library(zelvo_test_support STATIC support/temp_folder.cpp)
target_include_directories(zelvo_test_support PUBLIC support)
target_link_libraries(zelvo_test_support PUBLIC zelvo_sample_data GTest::gtest)
zelvo_set_warnings(zelvo_test_support)

add_executable(zelvo_tests ${zelvo_unit_test_sources} console_progress_windows_test.cpp)
target_link_libraries(zelvo_tests PRIVATE zelvo_core zelvo_test_support GTest::gtest_main)
target_compile_definitions(zelvo_tests PRIVATE ZELVO_TOOL_IS_WINDOWS=1)
zelvo_set_warnings(zelvo_tests)
gtest_discover_tests(zelvo_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 300 ${zelvo_wine_fixture})

if(NOT ZELVO_UNDER_WINE)
    return()
endif()

# One Wine server for the whole test run, started before the first test and stopped after the
# last (cmake/wine_server.cmake).
string(JOIN "|" zelvo_wine_environment ${ZELVO_WINE_ENVIRONMENT})
set(zelvo_wine_server_arguments
    -DWINE=${ZELVO_WINE} -DWINESERVER=${ZELVO_WINESERVER}
    -DWINE_ENVIRONMENT=${zelvo_wine_environment}
    -P ${PROJECT_SOURCE_DIR}/cmake/wine_server.cmake)
add_test(NAME WineServerStart
         COMMAND ${CMAKE_COMMAND} -DACTION=start ${zelvo_wine_server_arguments})
add_test(NAME WineServerStop
         COMMAND ${CMAKE_COMMAND} -DACTION=stop ${zelvo_wine_server_arguments})
set_tests_properties(WineServerStart PROPERTIES FIXTURES_SETUP wine_server TIMEOUT 300)
set_tests_properties(WineServerStop PROPERTIES FIXTURES_CLEANUP wine_server)

# The end-to-end and terminal tests, built natively in native-tests/ and pointed at this build's
# executable under Wine, expecting Windows line ends and names.
include(ExternalProject)
set(zelvo_native_tests ${CMAKE_BINARY_DIR}/native-tests)
ExternalProject_Add(zelvo_native_end_to_end_tests
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${zelvo_native_tests}
    CMAKE_CACHE_ARGS
        -DCMAKE_BUILD_TYPE:STRING=Release
        "-DZELVO_TESTED_TOOL:STRING=${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:zelvo_decruncher>"
        -DZELVO_TESTED_TOOL_IS_WINDOWS:BOOL=ON
    # Only the test program; MAKEFLAGS would hand the outer build's job server to a make that
    # can't reach it.
    BUILD_COMMAND ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS
                  ${CMAKE_COMMAND} --build ${zelvo_native_tests} --target zelvo_end_to_end_tests
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS zelvo_decruncher zelvo_tests)
foreach(suite EndToEnd ConsoleProgress)
    add_test(NAME Wine.${suite}
             COMMAND ${zelvo_native_tests}/tests/zelvo_end_to_end_tests --gtest_filter=${suite}.*)
    set_tests_properties(Wine.${suite} PROPERTIES TIMEOUT 600 ${zelvo_wine_fixture})
endforeach()
