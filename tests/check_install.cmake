# Installs the build under a scratch root as a package would (prefix /usr)
# and checks what a desktop needs to find the program: the binary, the menu
# entry, every icon size and the AppStream file, all validated together; and
# the overlay server's plugin where the program looks for it.
#   cmake -DBUILD_DIR=... -DROOT=... -DAPP_ID=... -DAPPSTREAMCLI=... -DDESKTOP_FILE_VALIDATE=...
#         -DPLUGIN=<installed path under the prefix> -DPLUGIN_FROM_BIN=<the program's path to it>
#         -P check_install.cmake
cmake_minimum_required(VERSION 3.21)
file(REMOVE_RECURSE ${ROOT})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${ROOT}/usr
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
    usr/bin/quorvane
    usr/${PLUGIN}
    usr/share/applications/${APP_ID}.desktop
    usr/share/metainfo/${APP_ID}.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg
    usr/share/doc/quorvane/copyright)
foreach(size 16 22 24 32 48 64 128 256 512)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(file ${expected})
    if(NOT EXISTS ${ROOT}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# Nothing but the program, its plugin, its desktop files and its licence: no
# tests, no build helpers.
file(GLOB_RECURSE installed RELATIVE ${ROOT} ${ROOT}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed files differ:\n  ${installed}\nexpected:\n  ${expected}")
endif()

if(NOT EXISTS ${ROOT}/usr/bin/${PLUGIN_FROM_BIN})
    message(FATAL_ERROR "the program looks for its plugin at bin/${PLUGIN_FROM_BIN}, not installed there")
endif()

execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${ROOT}/usr/share/applications/${APP_ID}.desktop
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate failed")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${ROOT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate-tree failed")
endif()

# The installed program runs and knows its version.
execute_process(COMMAND ${ROOT}/usr/bin/quorvane --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version STREQUAL "Quorvane ${VERSION}\n")
    message(FATAL_ERROR "installed program says '${version}' (${rc})")
endif()
