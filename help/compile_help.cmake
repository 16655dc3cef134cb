# SPDX-License-Identifier: MIT
# Compiles the help project in a scratch copy of the sources and puts mp3.chm
# at OUTPUT. chmcmd answers 0 even when it finds no project, so success is
# judged by its exit code and by a fresh output file together.
# Inputs: CHMCMD, SOURCE_DIR, WORK_DIR, OUTPUT, SOURCES (list of file names).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(name IN LISTS SOURCES)
    file(COPY ${SOURCE_DIR}/${name} DESTINATION ${WORK_DIR})
endforeach()

execute_process(COMMAND ${CHMCMD} mp3.hhp
                WORKING_DIRECTORY ${WORK_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0 OR NOT EXISTS ${WORK_DIR}/mp3.chm OR log MATCHES "Warning|Error|exception")
    message(FATAL_ERROR "chmcmd could not compile the help file (exit ${result}):\n${log}")
endif()

get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
file(COPY_FILE ${WORK_DIR}/mp3.chm ${OUTPUT})
