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
        set(TAVIK_DEPLOY_PROGRAM \"$<TARGET_FILE:${target}>\")
        set(TAVIK_DEPLOY_PLUGINS \"${plugin_files}\")
        set(TAVIK_DEPLOY_QT_BIN \"${qt_bin}\")
        set(TAVIK_DEPLOY_OBJDUMP \"${CMAKE_OBJDUMP}\")
        set(TAVIK_DEPLOY_DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        include(\"${CMAKE_CURRENT_FUNCTION_LIST_DIR}/DeployQtWindowsStep.cmake\")")
endfunction()
