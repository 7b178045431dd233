# GoogleTest for the Windows build, compiled from the sources of Debian's googletest package.
if(NOT TARGET GTest::gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(target gtest gtest_main gmock gmock_main)
        # Not our code: its warnings are not ours to fix.
        target_compile_options(${target} PRIVATE -w)
    endforeach()
endif()
set(GTest_FOUND TRUE)
