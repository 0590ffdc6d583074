# The shared part of every import plug-in and a function that builds one.
include_guard(GLOBAL)

# An object library, so that the exported entry points always reach the DLL.
add_library(tovn_susie OBJECT ${CMAKE_CURRENT_LIST_DIR}/entries.cpp)
target_include_directories(tovn_susie PUBLIC ${CMAKE_SOURCE_DIR}/outside)
target_link_libraries(tovn_susie PUBLIC tovn_imaging)

# tovn_susie_plugin(NAME target OUTPUT FILENAME SOURCES ... [LIBS ...]) → FILENAME.SPI
function(tovn_susie_plugin)
    cmake_parse_arguments(P "" "NAME;OUTPUT" "SOURCES;LIBS" ${ARGN})
    add_library(${P_NAME} SHARED ${P_SOURCES} ${CMAKE_SOURCE_DIR}/outside/susie/plugin.def)
    target_link_libraries(${P_NAME} PRIVATE tovn_susie tovn_imaging ${P_LIBS})
    # The .def names are plain; on 32-bit they resolve to the stdcall-decorated symbols.
    target_link_options(${P_NAME} PRIVATE -Wl,--enable-stdcall-fixup)
    set_target_properties(${P_NAME} PROPERTIES OUTPUT_NAME ${P_OUTPUT} PREFIX "" SUFFIX ".SPI"
        RUNTIME_OUTPUT_DIRECTORY ${TOVN_BIN_DIR})
endfunction()
