# Installs beside a Windows program the Qt DLLs and plug-ins it needs. The plug-ins are named here (Qt loads
# them by name at run time: the Windows platform and the Windows styles); the DLLs are found by following the
# imports of the program and of those plug-ins, so that a Qt library the program comes to use is shipped
# without a change here.
#   tavik_deploy_qt(TARGET)
function(tavik_deploy_qt target)
    get_target_property(qt_core Qt6::Core LOCATION)
    get_filename_component(qt_bin ${qt_core} DIRECTORY)
    set(qt_plugins ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})
    set(plugins platforms/qwindows.dll styles/qwindowsvistastyle.dll)
    set(plugin_files "")
    foreach(plugin ${plugins})
        if(NOT EXISTS ${qt_plugins}/${plugin})
            message(FATAL_ERROR "Qt for Windows has no ${plugin} in ${qt_plugins}")
        endif()
        get_filename_component(folder ${plugin} DIRECTORY)
        install(FILES ${qt_plugins}/${plugin} DESTINATION ${CMAKE_INSTALL_BINDIR}/${folder})
        list(APPEND plugin_files ${qt_plugins}/${plugin})
    endforeach()
    # Qt is LGPL: its DLLs are shipped unchanged, with its licence texts.
    install(DIRECTORY ${QT6_INSTALL_PREFIX}/LICENSES/ DESTINATION ${CMAKE_INSTALL_BINDIR}/licenses/Qt)
    install(CODE "
        set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
        set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
        set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
        file(GET_RUNTIME_DEPENDENCIES
             EXECUTABLES \"$<TARGET_FILE:${target}>\"
             MODULES ${plugin_files}
             DIRECTORIES \"${qt_bin}\"
             PRE_EXCLUDE_REGEXES \"^api-ms-\" \"^ext-ms-\"
             RESOLVED_DEPENDENCIES_VAR found
             UNRESOLVED_DEPENDENCIES_VAR unresolved)
        # Windows' own DLLs are not in Qt's folder; the program's own libraries are installed by their targets.
        foreach(dll \${unresolved})
            if(dll MATCHES \"^(Qt6|lib|icu)\" AND NOT dll MATCHES \"^lynserial\")
                message(FATAL_ERROR \"\${dll}, which the program needs, is not in ${qt_bin}\")
            endif()
        endforeach()
        file(INSTALL \${found} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    ")
endfunction()
