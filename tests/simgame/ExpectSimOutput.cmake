# Runs the simulated game and checks its exit status and lines of its output:
#   -DRUN=<wine-run.sh> -DSIM=<LumenveilSim.exe> -DARGS=<a;b> -DFOLDER=<game folder>
#   -DSTATUS=<expected exit status> -DEXPECT=<text;text> (each must appear)
#   -DREJECT=<text;text> (none may appear)
file(MAKE_DIRECTORY ${FOLDER})
execute_process(COMMAND ${RUN} ${SIM} ${ARGS}
  WORKING_DIRECTORY ${FOLDER}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
set(all "${out}${err}")
message("${all}")
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}")
endif()
foreach(text IN LISTS EXPECT)
  string(FIND "${all}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing from the output: ${text}")
  endif()
endforeach()
foreach(text IN LISTS REJECT)
  string(FIND "${all}" "${text}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "in the output, and must not be: ${text}")
  endif()
endforeach()
