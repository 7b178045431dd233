# The Debian package's own parts, which lintian checks: the maintainer, a description in lines of Debian's
# width, the ldconfig trigger for LynSerial, the copyright file, the changelog and the manual pages. The
# manual pages of tavik-cli and zemra-sim are made by help2man from their --help at build time (tavik-cli's
# from --help-all, which lists every command with its options and defaults), so that they never drift from
# it, with the sections a --help does not hold (exit status, files, examples) from resources/debian/*.h2m;
# tavik's is written by hand (it has no --help).
set(TAVIK_DEB_MAINTAINER "Tavik maintainers <maintainers@users.noreply.c-seed-d7526374.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAVIK_DEB_MAINTAINER}")
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; these lines follow it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tavik configures a Zemra-30 analog alarm annunciator: general constants,
physical and logical inputs and alarms, checked against the unit's rules,
saved as .zmg documents and transferred over RS-232.

Also contains tavik-cli, the zemra-sim simulated unit and the LynSerial
serial-port library.")

set(_tavik_deb ${PROJECT_BINARY_DIR}/deb)
set(_tavik_doc ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

# LynSerial lies in the system's library directory: the ldconfig trigger refreshes the linker cache once per
# dpkg run. The maintainer scripts CPack would otherwise write to call ldconfig themselves are left out.
file(WRITE ${_tavik_deb}/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${_tavik_deb}/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

find_program(TAVIK_GZIP gzip REQUIRED)
# gzip -9n: no name or time stamp, so the same sources give the same package.
function(tavik_deb_gzip source output)
    add_custom_command(OUTPUT ${output} COMMAND ${TAVIK_GZIP} -9nc ${source} > ${output} DEPENDS ${source}
                       VERBATIM)
endfunction()

set(TAVIK_VERSION ${PROJECT_VERSION})
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in ${_tavik_deb}/changelog @ONLY)
tavik_deb_gzip(${_tavik_deb}/changelog ${_tavik_deb}/changelog.gz)
set(_tavik_deb_files ${_tavik_deb}/changelog.gz)
install(FILES ${_tavik_deb}/changelog.gz DESTINATION ${_tavik_doc})
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright DESTINATION ${_tavik_doc})

set(_tavik_man ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET tavik)
    configure_file(${PROJECT_SOURCE_DIR}/resources/debian/tavik.1 ${_tavik_deb}/tavik.1 @ONLY)
    tavik_deb_gzip(${_tavik_deb}/tavik.1 ${_tavik_deb}/tavik.1.gz)
    list(APPEND _tavik_deb_files ${_tavik_deb}/tavik.1.gz)
    install(FILES ${_tavik_deb}/tavik.1.gz DESTINATION ${_tavik_man})
endif()

# Running the programs at build time needs them built for this machine, without a sanitizer's reports.
find_program(TAVIK_HELP2MAN help2man)
if(CMAKE_CROSSCOMPILING OR TAVIK_SANITIZE OR TAVIK_BUILD_FUZZ)
    set(TAVIK_HELP2MAN "")
elseif(NOT TAVIK_HELP2MAN)
    message(WARNING "help2man not found: the package will lack the tavik-cli and zemra-sim manual pages "
                    "(scripts/install-deps.sh installs it)")
endif()
if(TAVIK_HELP2MAN)
    foreach(_program IN ITEMS tavik-cli zemra-sim)
        if(_program STREQUAL "tavik-cli")
            set(_name "configure a Zemra-30 alarm annunciator from the command line")
            set(_help --help-option=--help-all)
        else()
            set(_name "simulated Zemra-30 alarm annunciator on a pseudo-terminal")
            set(_help --help-option=--help)
        endif()
        set(_include ${PROJECT_SOURCE_DIR}/resources/debian/${_program}.h2m)
        add_custom_command(
            OUTPUT ${_tavik_deb}/${_program}.1
            COMMAND ${TAVIK_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION}
                    --name=${_name} ${_help} --include=${_include} --output=${_tavik_deb}/${_program}.1
                    $<TARGET_FILE:${_program}>
            DEPENDS ${_program} ${_include}
            COMMENT "Manual page of ${_program} from its --help"
            VERBATIM)
        tavik_deb_gzip(${_tavik_deb}/${_program}.1 ${_tavik_deb}/${_program}.1.gz)
        list(APPEND _tavik_deb_files ${_tavik_deb}/${_program}.1.gz)
        install(FILES ${_tavik_deb}/${_program}.1.gz DESTINATION ${_tavik_man})
    endforeach()
endif()
add_custom_target(tavik_deb_files ALL DEPENDS ${_tavik_deb_files})
