# SPDX-License-Identifier: MIT
# Runs velmora-sim on SCENARIO and compares its whole output with EXPECTED.
execute_process(COMMAND ${SIM} ${SCENARIO} OUTPUT_VARIABLE got ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "velmora-sim exited ${rc}: ${err}")
endif()
file(READ ${EXPECTED} want)
if(NOT got STREQUAL want)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/got.trace "${got}")
  message(FATAL_ERROR "trace differs from ${EXPECTED}:\n--- got ---\n${got}")
endif()
