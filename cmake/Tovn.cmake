# Build conventions shared by every folder of the tree.
#
# Three trees are configured from the same sources:
#   build/win32  TOVN_WIN32: everything cross-compiled with MinGW, tests run through Wine
#                (build/i686 is the same for 32-bit: the product that ships)
#   build/host   TOVN_HOST:  portable libraries with g++, ASan + UBSan, GoogleTest
#   build/fuzz   TOVN_FUZZ:  portable libraries and libFuzzer targets with clang
# A fourth, build/bench (TOVN_BENCH), builds the host benchmarks optimised, without sanitizers.

include_guard(GLOBAL)

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(TOVN_WIN32 ON)
else()
    set(TOVN_WIN32 OFF)
endif()
option(TOVN_FUZZ "Build libFuzzer targets (clang)" OFF)
option(TOVN_BENCH "Build host benchmarks (optimised, no sanitizers)" OFF)
set(TOVN_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs inside the test command")
if(NOT TOVN_WIN32 AND NOT TOVN_FUZZ AND NOT TOVN_BENCH)
    set(TOVN_HOST ON)
else()
    set(TOVN_HOST OFF)
endif()

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Every Win32 output lands in one folder beside Tovn32.exe.
set(TOVN_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${TOVN_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${TOVN_BIN_DIR})

# Shared test data (sample pictures and archives) copied into the repository.
set(TOVN_TESTDATA_DIR ${CMAKE_SOURCE_DIR}/testdata)

# Windows tests run under the Wine of the tree's own width, each width in a prefix of its own
# (scripts/wine-env.sh). ctest reads this file before it starts any test, so every test it
# starts, the end-to-end scripts included, inherits the setting.
if(TOVN_WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(tovn_wine_arch win32)
    else()
        set(tovn_wine_arch win64)
    endif()
    file(WRITE ${CMAKE_BINARY_DIR}/wine-arch.cmake "set(ENV{TOVN_WINE_ARCH} ${tovn_wine_arch})\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/wine-arch.cmake)
endif()

if(TOVN_WIN32)
    add_compile_options(-Wall -Wextra -O2)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    # Outputs need nothing beyond Windows' own DLLs.
    add_link_options(-static -static-libgcc -static-libstdc++)
elseif(TOVN_HOST)
    add_compile_options(-Wall -Wextra -g -O1 -fno-omit-frame-pointer
                        -fsanitize=address,undefined -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(TOVN_FUZZ)
    add_compile_options(-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(TOVN_BENCH)
    add_compile_options(-O2 -DNDEBUG)
endif()

# GoogleTest from Debian's sources, built with this tree's compilers.
if(TOVN_HOST OR TOVN_WIN32)
    if(NOT TARGET gtest)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        if(TOVN_WIN32)
            target_compile_options(gtest PRIVATE -w)
        endif()
    endif()
    enable_testing()
endif()
if(TOVN_FUZZ)
    enable_testing()
endif()

# tovn_test(NAME n SOURCES s... [LIBS l...] [WORKDIR dir] [LABELS l...])
# A GoogleTest suite. In the host tree it runs natively with the sanitizers; in the Win32
# tree it is cross-compiled and ctest runs it through Wine (scripts/wine-run).
function(tovn_test)
    cmake_parse_arguments(T "" "NAME;WORKDIR" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT (TOVN_HOST OR TOVN_WIN32))
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
    target_compile_definitions(${T_NAME} PRIVATE
        TOVN_TESTDATA_DIR="${TOVN_TESTDATA_DIR}" TOVN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    if(TOVN_WIN32)
        set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TOVN_BIN_DIR})
    endif()
    if(NOT T_WORKDIR)
        set(T_WORKDIR ${CMAKE_CURRENT_BINARY_DIR})
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${T_WORKDIR})
    if(T_LABELS)
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

# tovn_fuzz(NAME n SOURCES s... [LIBS l...] [CORPUS dir])
# A libFuzzer target (fuzz tree only). ctest runs it for TOVN_FUZZ_SECONDS on a scratch
# copy of its committed seed corpus; longer runs: build/fuzz/<name> <corpus> -max_total_time=600
function(tovn_fuzz)
    cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
    if(NOT TOVN_FUZZ)
        return()
    endif()
    add_executable(${F_NAME} ${F_SOURCES})
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    set(work ${CMAKE_BINARY_DIR}/fuzz-work/${F_NAME})
    set(seed "")
    if(F_CORPUS)
        set(seed ${F_CORPUS})
    endif()
    add_test(NAME ${F_NAME}
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz-run $<TARGET_FILE:${F_NAME}> ${work} ${TOVN_FUZZ_SECONDS} ${seed})
endfunction()

# tovn_bench(NAME n SOURCES s... [LIBS l...])
# A benchmark program: in the host bench tree, and in the Win32 tree (run through Wine with
# scripts/wine-run from build/win32/bin). Never part of the test command.
function(tovn_bench)
    cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
    if(NOT (TOVN_BENCH OR TOVN_WIN32))
        return()
    endif()
    add_executable(${B_NAME} ${B_SOURCES})
    target_link_libraries(${B_NAME} PRIVATE ${B_LIBS})
    target_compile_definitions(${B_NAME} PRIVATE
        TOVN_TESTDATA_DIR="${TOVN_TESTDATA_DIR}" TOVN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()

# tovn_win32_only(): returns from the calling CMakeLists.txt unless this is the Win32 tree.
macro(tovn_win32_only)
    if(NOT TOVN_WIN32)
        return()
    endif()
endmacro()
