# Builds the Debian package into a scratch folder and checks its name, its
# dependencies (those found by dpkg-shlibdeps and the run-time extras) and
# that it carries the program, its desktop files and its licence.
#   cmake -DBUILD_DIR=... -DOUT=... -DAPP_ID=... -DVERSION=... -DPLUGIN=... -P check_package.cmake
cmake_minimum_required(VERSION 3.21)
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${OUT}
    RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB debs ${OUT}/quorvane_${VERSION}_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one quorvane_${VERSION}_*.deb in ${OUT}, found: ${debs}")
endif()

execute_process(COMMAND dpkg-deb --field ${debs} Depends OUTPUT_VARIABLE depends RESULT_VARIABLE rc)
message(STATUS "Depends: ${depends}")
# "a (>= 1), b" -> "a;b"
string(STRIP "${depends}" depends)
string(REGEX REPLACE " *\\([^)]*\\)" "" names "${depends}")
string(REPLACE ", " ";" names "${names}")
foreach(package libqt6widgets6 libqt6gui6 libqt6core6 libqt6network6 libc6 libstdc++6 fonts-liberation2 qt6-qpa-plugins
        libqt6svg6)
    if(NOT package IN_LIST names)
        message(FATAL_ERROR "the package does not depend on ${package}")
    endif()
endforeach()

execute_process(COMMAND dpkg-deb --contents ${debs} OUTPUT_VARIABLE contents RESULT_VARIABLE rc)
foreach(file ./usr/bin/quorvane ./usr/${PLUGIN} ./usr/share/applications/${APP_ID}.desktop
        ./usr/share/metainfo/${APP_ID}.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg
        ./usr/share/icons/hicolor/48x48/apps/${APP_ID}.png ./usr/share/doc/quorvane/copyright)
    string(FIND "${contents}" " ${file}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package lacks ${file}")
    endif()
endforeach()
