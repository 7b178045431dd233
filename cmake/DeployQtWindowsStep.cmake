# Install-time half of tavik_deploy_qt: follows the imports of the program and of the Qt plug-ins, and installs
# each DLL found in Qt's folder, then follows that DLL's imports in turn. Set by the caller: TAVIK_DEPLOY_PROGRAM,
# TAVIK_DEPLOY_PLUGINS, TAVIK_DEPLOY_QT_BIN, TAVIK_DEPLOY_OBJDUMP, TAVIK_DEPLOY_DESTINATION.
cmake_policy(SET CMP0057 NEW) # if(IN_LIST), in an install script too
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${TAVIK_DEPLOY_OBJDUMP}")

# Windows file names are not case-sensitive, and the imports come lower-cased: Qt's DLLs by lower-case name.
file(GLOB qt_dlls "${TAVIK_DEPLOY_QT_BIN}/*.dll")
foreach(dll ${qt_dlls})
    get_filename_component(name "${dll}" NAME)
    string(TOLOWER "${name}" lower)
    set("qt_dll_${lower}" "${dll}")
endforeach()

set(deployed "")
set(executables "${TAVIK_DEPLOY_PROGRAM}")
set(modules ${TAVIK_DEPLOY_PLUGINS})
set(libraries "")
while(executables OR modules OR libraries)
    file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${executables} MODULES ${modules} LIBRARIES ${libraries}
         PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
         RESOLVED_DEPENDENCIES_VAR resolved UNRESOLVED_DEPENDENCIES_VAR imports)
    set(executables "")
    set(modules "")
    set(libraries "")
    foreach(import ${imports} ${resolved})
        get_filename_component(import "${import}" NAME)
        string(TOLOWER "${import}" lower)
        if(DEFINED "qt_dll_${lower}")
            if(NOT lower IN_LIST deployed)
                list(APPEND deployed "${lower}")
                list(APPEND libraries "${qt_dll_${lower}}")
            endif()
        elseif(lower MATCHES "^(qt6|libstdc|libgcc|libwinpthread|icu)")
            # Windows' own DLLs are not in Qt's folder; these must be.
            message(FATAL_ERROR "${import}, which the program needs, is not in ${TAVIK_DEPLOY_QT_BIN}")
        endif()
    endforeach()
    foreach(dll ${libraries})
        file(INSTALL "${dll}" DESTINATION "${TAVIK_DEPLOY_DESTINATION}")
    endforeach()
endwhile()
