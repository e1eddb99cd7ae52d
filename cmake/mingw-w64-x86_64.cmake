# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix thread model, so std::thread
# and std::mutex work) and runs the resulting programs under Wine:
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Libraries we cross-build ourselves (googletest) come from ORVO_MINGW_PREFIX, which
# scripts/bootstrap fills. Default: $ORVO_MINGW_PREFIX, else $ORVO_CACHE/mingw-w64, else
# ${XDG_CACHE_HOME:-$HOME/.cache}/orvo/mingw-w64, the same rule as scripts/lib.sh.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVO_MINGW_TRIPLE}-windres)

if(NOT ORVO_MINGW_PREFIX)
    if(DEFINED ENV{ORVO_MINGW_PREFIX})
        set(ORVO_MINGW_PREFIX "$ENV{ORVO_MINGW_PREFIX}")
    elseif(DEFINED ENV{ORVO_CACHE})
        set(ORVO_MINGW_PREFIX "$ENV{ORVO_CACHE}/mingw-w64")
    elseif(DEFINED ENV{XDG_CACHE_HOME})
        set(ORVO_MINGW_PREFIX "$ENV{XDG_CACHE_HOME}/orvo/mingw-w64")
    else()
        set(ORVO_MINGW_PREFIX "$ENV{HOME}/.cache/orvo/mingw-w64")
    endif()
endif()
set(ORVO_MINGW_PREFIX "${ORVO_MINGW_PREFIX}"
    CACHE PATH "Install prefix of the libraries cross-built for mingw-w64 by scripts/bootstrap")
# try_compile projects read this file again; hand them the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVO_MINGW_PREFIX)

# Look for headers, libraries and packages only in the mingw sysroot and our prefix, never in
# the host's /usr; programs (tools run during the build) only on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ORVO_MINGW_TRIPLE} "${ORVO_MINGW_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained exe: libgcc, libstdc++ and winpthread linked in, no DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# ctest and try_run start Windows programs through Wine in the test prefix (Czech locale).
get_filename_component(_orvo_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_orvo_wine_run}")
unset(_orvo_wine_run)
