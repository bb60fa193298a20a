# Runs the suite on the bundled example structure in a working directory of
# its own (the structure programs write "log" and "pdbfile.tmp" there).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${DATA_DIR}/example/1enh.pdb DESTINATION ${WORK_DIR})
foreach(program resitally rotunda)
  execute_process(COMMAND ${BIN_DIR}/${program} 1enh.pdb WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program} failed with status ${status}")
  endif()
endforeach()
message(STATUS "Results are in ${WORK_DIR}")
