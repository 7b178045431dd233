# A Windows program's version resource and application manifest, and its icon when one is given:
#   tavik_program_resource(TARGET "DESCRIPTION" [ICON_FILE])
function(tavik_program_resource target description)
    set(TAVIK_RC_NAME ${target})
    set(TAVIK_RC_FILE ${target}.exe)
    set(TAVIK_RC_DESCRIPTION "${description}")
    set(TAVIK_RC_ICON "")
    if(ARGC GREATER 2)
        # The first icon in the file is the one Explorer shows for the program.
        set(TAVIK_RC_ICON "1 ICON \"${ARGV2}\"")
    endif()
    set(TAVIK_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/ProgramManifest.xml.in ${TAVIK_RC_MANIFEST} @ONLY)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/ProgramResource.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    # The resource compiler does not see that the manifest is read: a change to it rebuilds the resource.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${TAVIK_RC_MANIFEST})
endfunction()
