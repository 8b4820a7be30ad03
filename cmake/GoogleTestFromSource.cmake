# GoogleTest and GoogleMock built from Debian's sources (libgtest-dev, libgmock-dev put them
# in /usr/src/googletest) for the target being cross-compiled, with the same target names
# that find_package(GTest) gives on the build machine.
set(KX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${KX_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${KX_GOOGLETEST_SOURCE}: install libgtest-dev and libgmock-dev")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Our warning flags are not applied to it, and its own pass with this compiler.
add_subdirectory(${KX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
        add_library(GTest::${library} ALIAS ${library})
    endif()
endforeach()
