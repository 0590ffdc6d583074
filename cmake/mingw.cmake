# Cross toolchain for the Windows build (MinGW-w64, posix threads model).
# TOVN_WIN_ARCH: x86_64 (default: the build that runs under this machine's Wine, which
# cannot start 32-bit Linux processes) or i686 (the 32-bit build of the same sources).
if(NOT TOVN_WIN_ARCH)
    set(TOVN_WIN_ARCH x86_64)
endif()
set(TOVN_WIN_ARCH ${TOVN_WIN_ARCH} CACHE STRING "Windows target architecture")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TOVN_WIN_ARCH})
set(CMAKE_C_COMPILER ${TOVN_WIN_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOVN_WIN_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${TOVN_WIN_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOVN_WIN_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
