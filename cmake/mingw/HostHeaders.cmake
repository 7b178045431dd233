# Header-only libraries installed for the build machine, offered to the Windows build without the rest of
# /usr/include (whose C library headers must not shadow mingw's): a folder of links to just those.
set(TAVIK_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(dir nlohmann CLI)
    if(NOT EXISTS ${TAVIK_HOST_HEADERS}/${dir})
        file(MAKE_DIRECTORY ${TAVIK_HOST_HEADERS})
        file(CREATE_LINK /usr/include/${dir} ${TAVIK_HOST_HEADERS}/${dir} SYMBOLIC)
    endif()
endforeach()
