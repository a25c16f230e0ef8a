# SPDX-License-Identifier: MIT
# Two runs share one settings file: the second sees the rule and counter of the first.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(step first second)
  execute_process(COMMAND ${SIM} --no-trace --defaults-file ${WORK}/settings.plist ${DIR}/${step}.scenario
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${step} run exited ${rc}: ${err}")
  endif()
endforeach()
file(READ ${WORK}/settings.plist text)
if(NOT text MATCHES "<key>changedTimes</key>")
  message(FATAL_ERROR "settings file lacks the counter:\n${text}")
endif()
