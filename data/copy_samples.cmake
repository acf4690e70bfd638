# cmake -DSOURCE=<data/Samples> -DDEST=<build/Samples> -DSTAMP=<file> -P copy_samples.cmake
#
# Replaces DEST whole by a fresh copy of SOURCE when DEST is absent or when SOURCE differs from
# the tree of the last copy, whose fingerprint (every relative name, and every file's SHA-256)
# STAMP keeps. Otherwise DEST is left alone: the program renames the samples in place, and a
# rebuild must neither undo that nor put fresh copies beside renamed ones.

foreach(var SOURCE DEST STAMP)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "copy_samples.cmake: ${var} is not set")
    endif()
endforeach()

file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*")
list(SORT entries)
set(fingerprint "")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${SOURCE}/${entry}")
        string(APPEND fingerprint "folder ${entry}\n")
    else()
        file(SHA256 "${SOURCE}/${entry}" sum)
        string(APPEND fingerprint "file ${entry} ${sum}\n")
    endif()
endforeach()
string(SHA256 fingerprint "${fingerprint}")

set(previous "")
if(EXISTS "${STAMP}")
    file(READ "${STAMP}" previous)
endif()

if(IS_DIRECTORY "${DEST}" AND previous STREQUAL fingerprint)
    return()
endif()

file(REMOVE_RECURSE "${DEST}")
file(COPY "${SOURCE}/" DESTINATION "${DEST}")
file(WRITE "${STAMP}" "${fingerprint}")
message(STATUS "Sample folders laid out afresh in ${DEST}")
