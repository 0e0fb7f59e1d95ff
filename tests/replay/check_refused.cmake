# cmake -DREPLAY=... -DFOLDER=bad -P check_refused.cmake
# Every scenario in the folder asks for something the game cannot do: each must
# be refused with status 2 and a "scenario error:" message, without a crash.
file(GLOB scenarios ${FOLDER}/*.json)
list(LENGTH scenarios count)
if(count EQUAL 0)
  message(FATAL_ERROR "no scenarios in ${FOLDER}")
endif()

set(failures "")
foreach(scenario ${scenarios})
  get_filename_component(name ${scenario} NAME)
  execute_process(COMMAND ${REPLAY} ${scenario} OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status STREQUAL "2")
    string(APPEND failures "\n  ${name}: status ${status}")
  elseif(NOT err MATCHES "^scenario error: ")
    string(APPEND failures "\n  ${name}: message \"${err}\"")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "scenarios not refused as they should be:${failures}")
endif()
message(STATUS "${count} bad scenarios refused")
