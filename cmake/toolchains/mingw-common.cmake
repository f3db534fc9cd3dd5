# Shared part of the MinGW-w64 cross toolchains. The including file sets
# BRIMVALE_MINGW_TRIPLE and BRIMVALE_WINDOWS_ARCH (x64 or x86) before
# including this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The -posix compilers use winpthreads, so std::thread and std::mutex work.
set(CMAKE_C_COMPILER   ${BRIMVALE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRIMVALE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${BRIMVALE_MINGW_TRIPLE}-windres)
set(CMAKE_AR           /usr/bin/${BRIMVALE_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${BRIMVALE_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${BRIMVALE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run the real Windows binaries through Wine (see scripts/wine-run).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run --arch ${BRIMVALE_WINDOWS_ARCH})
