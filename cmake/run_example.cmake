# Runs catena on the bundled example structure, in a working directory of its
# own, keeping every intermediate file under files/, its per-residue energy
# profile under profile/ and the report page as report.html.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${DATA_DIR}/1enh.pdb ${DATA_DIR}/1enh.pir DESTINATION ${WORK_DIR})
execute_process(
  COMMAND ${BIN_DIR}/catena --alignment 1enh.pir --seed 1 --keep files --profile profile --report report.html
          -o verdict.tsv 1enh.pdb
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "catena failed with status ${status}")
endif()
file(READ ${WORK_DIR}/verdict.tsv verdict)
message("${verdict}")
message(STATUS "The record is in ${WORK_DIR}/verdict.tsv, every intermediate file in ${WORK_DIR}/files/1enh.pdb/")
message(STATUS "The profile is in ${WORK_DIR}/profile/ (1enh.pdb.profile.tsv, .pdb, .svg), the page in ${WORK_DIR}/report.html")
