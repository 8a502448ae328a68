# Starts or stops the Wine server of a build's private Wine prefix around a test run. A server
# that stays up spares each Windows program it runs about a second of start-up.
#   cmake -DACTION=start|stop -DWINE=<wine64> -DWINESERVER=<wineserver>
#         -DWINE_ENVIRONMENT=WINEPREFIX=<dir>|<NAME=value>|... -P wine_server.cmake
# WINE_ENVIRONMENT is the one the build's programs run with (cmake/wine.cmake), its settings
# joined by '|'. Only the server of that prefix is touched.
string(REPLACE "|" ";" settings "${WINE_ENVIRONMENT}")
foreach(setting IN LISTS settings)
    string(REGEX MATCH "^([^=]+)=(.*)$" matched "${setting}")
    set(ENV{${CMAKE_MATCH_1}} "${CMAKE_MATCH_2}")
endforeach()
set(prefix $ENV{WINEPREFIX})
if(NOT prefix)
    message(FATAL_ERROR "WINE_ENVIRONMENT sets no WINEPREFIX")
endif()
# The server and Wine's own background programs outlive the commands that start them and keep
# their standard output and error open. Were those the pipes of a test, the test would not end
# before the server, so they go to a log file.
set(log ${prefix}.log)

if(ACTION STREQUAL "start")
    # The server runs in the prefix folder, so that must exist; Wine fills it in below.
    file(MAKE_DIRECTORY ${prefix})
    # Persistent for the test run. Should the stop step never come, it still ends a minute after
    # its last program.
    set(start_server ${WINESERVER} -p60)
    execute_process(COMMAND ${start_server} RESULT_VARIABLE result
                    OUTPUT_FILE ${log} ERROR_FILE ${log})
    if(NOT result EQUAL 0)
        # A server that an earlier program of this prefix started on its own (the test discovery
        # of the build) ends a few seconds after that program; wait for it and try again.
        execute_process(COMMAND ${WINESERVER} -w)
        execute_process(COMMAND ${start_server} RESULT_VARIABLE result
                        OUTPUT_FILE ${log} ERROR_FILE ${log})
    endif()
    if(NOT result EQUAL 0)
        file(READ ${log} output)
        message(FATAL_ERROR "wineserver -p60 failed (${result}) for ${prefix}:\n${output}")
    endif()
    # The first program creates the prefix if need be, which takes several seconds and reports
    # on standard error, and starts Wine's background programs; both belong before the tests.
    execute_process(COMMAND ${WINE} wineboot RESULT_VARIABLE result
                    OUTPUT_FILE ${log} ERROR_FILE ${log})
    if(NOT result EQUAL 0)
        file(READ ${log} output)
        message(FATAL_ERROR "wineboot failed (${result}) in ${prefix}:\n${output}")
    endif()
elseif(ACTION STREQUAL "stop")
    execute_process(COMMAND ${WINESERVER} -k)
else()
    message(FATAL_ERROR "ACTION must be start or stop, not '${ACTION}'")
endif()
