# A 10x10 PDN file imports whole while Russian is the current variant, and what vqdb --pdn writes of
# the database imports back to the same games.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${FIXTURE} DESTINATION ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)

run(0 "2 games came in, 2 whole, into .*international.vqb.*no log" ${VQIMPORT} --variant 1 ${WORK}/international.pdn)
run(0 "" ${VQDB} ${WORK}/international.vqb)
set(listed "${last_out}")
execute_process(COMMAND ${VQDB} --pdn ${WORK}/international.vqb OUTPUT_FILE ${WORK}/again.pdn RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vqdb --pdn failed: ${rc}")
endif()
run(0 "2 games came in, 2 whole" ${VQIMPORT} ${WORK}/again.pdn)
run(0 "" ${VQDB} ${WORK}/again.vqb)
if(NOT last_out STREQUAL listed)
  message(FATAL_ERROR "the exported games came back otherwise:\n${listed}\n${last_out}")
endif()
# An existing database is not replaced without a yes.
run(2 "" ${VQIMPORT} ${WORK}/again.pdn)
