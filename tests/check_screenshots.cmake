# Makes the screenshots afresh with the program's own tool and checks that the
# README's pictures are that set: the same files, each of the same size, and
# every one of them shown in the README.
#   cmake -DTOOL=... -DOUT=... -DSOURCE_DIR=... -P check_screenshots.cmake
cmake_minimum_required(VERSION 3.21)
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "quorvane_screenshots failed: ${rc}")
endif()

function(png_size file out)
    file(READ ${file} header OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING ${header} 0 8 w)
    string(SUBSTRING ${header} 8 8 h)
    math(EXPR w "0x${w}")
    math(EXPR h "0x${h}")
    set(${out} "${w}x${h}" PARENT_SCOPE)
endfunction()

set(committed_dir ${SOURCE_DIR}/docs/screenshots)
file(GLOB made RELATIVE ${OUT} ${OUT}/*.png)
file(GLOB committed RELATIVE ${committed_dir} ${committed_dir}/*.png)
list(SORT made)
list(SORT committed)
if(NOT made STREQUAL committed)
    message(FATAL_ERROR "docs/screenshots is not what scripts/screenshots makes:\n"
        "  made: ${made}\n  committed: ${committed}")
endif()

file(READ ${SOURCE_DIR}/README.md readme)
foreach(png ${made})
    png_size(${OUT}/${png} made_size)
    png_size(${committed_dir}/${png} committed_size)
    if(NOT made_size STREQUAL committed_size)
        message(FATAL_ERROR "${png}: made ${made_size}, committed ${committed_size}")
    endif()
    string(FIND "${readme}" "docs/screenshots/${png}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "README.md does not show docs/screenshots/${png}")
    endif()
endforeach()
