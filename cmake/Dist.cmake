# The product folder a user unpacks, assembled by scripts/dist from bin/ once everything in
# the tree is built: the program, its components, the users' README and the licences, and
# a zip of that folder beside it. Test programs and benchmarks stay in bin/.
#   i686 tree:   ${TOVN_DIST_DIR}/Tovane32/ and Tovane32.zip (what is shipped)
#   x86_64 tree: ${TOVN_DIST_DIR}/Tovane32-x64/ and Tovane32-x64.zip
include_guard(GLOBAL)

set(TOVN_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where the product folder and zip go")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TOVN_PRODUCT ${TOVN_DIST_DIR}/Tovane32)
else()
    set(TOVN_PRODUCT ${TOVN_DIST_DIR}/Tovane32-x64)
endif()

# Every program and library target below DIR, so that the folder is assembled last.
function(tovn_binary_targets dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    set(found "")
    foreach(t ${targets})
        get_target_property(type ${t} TYPE)
        if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
            list(APPEND found ${t})
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub ${subdirs})
        tovn_binary_targets(${sub} more)
        list(APPEND found ${more})
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

function(tovn_dist)
    tovn_binary_targets(${CMAKE_SOURCE_DIR} targets)
    add_custom_target(dist ALL
        COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/dist ${TOVN_BIN_DIR} ${TOVN_PRODUCT} ${CMAKE_STRIP}
        COMMENT "Product folder and zip: ${TOVN_PRODUCT}"
        VERBATIM)
    add_dependencies(dist ${targets})
    # The zip unpacked into an empty folder and started there, under the tree's Wine.
    add_test(NAME product_zip
        COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/product_zip.sh ${TOVN_PRODUCT}.zip ${TOVN_BIN_DIR})
    set_tests_properties(product_zip PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endfunction()
