# Copies each catalogue of CATALOGUES into WORK, updates the copy from the sources named in
# SOURCES_LIST with LUPDATE, and runs CHECKER over the copies (TRELLISANE_CATALOGUES).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(copies)
foreach(catalogue ${CATALOGUES})
    get_filename_component(name ${catalogue} NAME)
    file(COPY ${catalogue} DESTINATION ${WORK})
    execute_process(
        COMMAND ${LUPDATE} -silent -no-obsolete -locations none @${SOURCES_LIST}
                -ts ${WORK}/${name}
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${name}")
    endif()
    list(APPEND copies ${WORK}/${name})
endforeach()
string(REPLACE ";" ":" joined "${copies}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TRELLISANE_CATALOGUES=${joined} ${CHECKER}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "a catalogue is incomplete or drops a placeholder")
endif()
