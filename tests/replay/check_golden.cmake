# cmake -DREPLAY=... -DSCENARIO=x.json -DEXPECTED=x.jsonl -DWORK=dir -P check_golden.cmake
# The scenario must replay to the committed dump byte for byte. That two
# replays of a scenario agree the fuzz test checks, in-process.
get_filename_component(name ${SCENARIO} NAME_WE)
file(MAKE_DIRECTORY ${WORK})
set(dump ${WORK}/${name}.jsonl)
execute_process(COMMAND ${REPLAY} ${SCENARIO} OUTPUT_FILE ${dump} ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${name}: replay exited with ${status}: ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${dump} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${name}: the dump differs from the committed one; compare ${EXPECTED} with ${dump}")
endif()
