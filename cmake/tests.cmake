# What the Windows build's tests and the native ones share: GoogleTest from
# Debian's sources, and the include root through which the tests see their
# own support files ("tests/support/..."), as the layers see each other.
function(tulvar_test_setup tests_folder root_var)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
    set(root "${CMAKE_BINARY_DIR}/layers/tests")
    file(MAKE_DIRECTORY "${root}")
    if(NOT EXISTS "${root}/tests")
        file(CREATE_LINK "${tests_folder}" "${root}/tests" SYMBOLIC)
    endif()
    set(${root_var} "${root}" PARENT_SCOPE)
endfunction()
