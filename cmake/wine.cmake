# Runs the programs of the Windows build under Wine: CMAKE_CROSSCOMPILING_EMULATOR puts Wine in
# front of the tests and of the tool in the end-to-end tests. Wine keeps its state in a prefix of
# this build's own, so nothing is shared with the user's Wine or with another build folder.
find_program(ZELVO_WINE NAMES wine64 wine PATHS /usr/lib/wine DOC "Wine's program loader")
find_program(ZELVO_WINESERVER NAMES wineserver PATHS /usr/lib/wine DOC "Wine's server")

set(ZELVO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
# No debug channels on standard error, and no offer to install Mono or Gecko into a new prefix.
set(ZELVO_WINE_ENVIRONMENT
    WINEPREFIX=${ZELVO_WINE_PREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)

# env(1) rather than "cmake -E env": it execs Wine in its place, so Wine keeps the resource limits
# and ignored signals that the end-to-end tests set up for the tool.
find_program(ZELVO_ENV env)
if(ZELVO_WINE AND ZELVO_WINESERVER AND ZELVO_ENV AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZELVO_ENV} ${ZELVO_WINE_ENVIRONMENT} ${ZELVO_WINE})
    set(ZELVO_UNDER_WINE ON)
endif()
