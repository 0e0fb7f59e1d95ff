# cmake -DREPLAY=... -DSCENARIO=x.json -DEXPECTED=x.jsonl -DWORK=dir -P check_golden.cmake
# Replays the scenario twice: both runs must give the same bytes, and those
# bytes must be the committed dump.
get_filename_component(name ${SCENARIO} NAME_WE)
file(MAKE_DIRECTORY ${WORK})
set(first ${WORK}/${name}.jsonl)
set(second ${WORK}/${name}.again.jsonl)

foreach(out ${first} ${second})
  execute_process(COMMAND ${REPLAY} ${SCENARIO} OUTPUT_FILE ${out} ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${name}: replay exited with ${status}: ${err}")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${first} ${second} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${name}: two runs of the same scenario differ: ${first} ${second}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${first} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${name}: the dump differs from the committed one; compare ${EXPECTED} with ${first}")
endif()
