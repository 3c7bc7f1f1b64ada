# Each folder is one static library, a layer. A layer's headers are reachable
# only through an include root that holds that folder alone, and the root is
# passed on only to the layers linked above it: an include against the
# direction of the layers finds no file and stops the build.
# The folders are those of this tree, whichever project includes this file.
get_filename_component(TULVAR_TREE "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# Every layer is plain C++17, built for release unless asked otherwise.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Release)
endif()

function(tulvar_layer target folder)
    cmake_parse_arguments(L "" "" "SOURCES;DEPENDS" ${ARGN})
    set(root "${CMAKE_BINARY_DIR}/layers/${folder}")
    file(MAKE_DIRECTORY "${root}")
    if(NOT EXISTS "${root}/${folder}")
        file(CREATE_LINK "${TULVAR_TREE}/${folder}" "${root}/${folder}" SYMBOLIC)
    endif()
    add_library(${target} STATIC ${L_SOURCES})
    target_include_directories(${target} PUBLIC "${root}")
    target_link_libraries(${target} PUBLIC ${L_DEPENDS})
endfunction()
