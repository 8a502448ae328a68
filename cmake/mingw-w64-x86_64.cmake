# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compiler (package
# g++-mingw-w64-x86-64). Its posix thread model has std::mutex, which GoogleTest needs; with
# -static (set in the root CMakeLists.txt) the threads library is linked in as well, so the
# executables depend on system DLLs only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZELVO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZELVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELVO_MINGW_TRIPLET}-windres)

# Libraries and headers come from the cross environment only; programs (Wine, tmux) from the
# build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZELVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
