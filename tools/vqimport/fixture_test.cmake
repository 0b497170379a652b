# Runs vqimport on the hand-made CHB fixture the way a user would, and lists the result with vqdb.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${FIXTURE} DESTINATION ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)

# Variant 6 is refused before anything is made.
run(2 "" ${VQIMPORT} --variant 6 ${WORK}/golden.chb)
if(EXISTS ${WORK}/golden.vqb)
  message(FATAL_ERROR "the refused import made a database")
endif()

run(0 "3 of 3 games came in, 1 whole, into .*golden.vqb.*log: .*golden.log" ${VQIMPORT} ${WORK}/golden.chb)
run(0 "1\tИванов, Пётр\tСидоров, Олег\tЧемпионат СССР\t\t1985.03.17\t=\t-\tc3-d4 f6-e5 d4:f6 g7:e5\n2\tSmith, John\tPetrov Nikolai Ivano\tOpen\t\t0000.00.00\t\\*\tD\tc3-d4 f6-e5 d4:f6 g7:e5\n3\tAbc\tDef\t\t\t2000.01.01\t0-1\tD\t\n" ${VQDB} ${WORK}/golden.vqb)
file(READ ${WORK}/golden.log log)
if(NOT log MATCHES "Record 2 .*Record 3 ")
  message(FATAL_ERROR "the log does not name records 2 and 3: ${log}")
endif()

# An existing database is not replaced without a yes (no answer on the terminal means no).
file(SIZE ${WORK}/golden.vqb size_before)
run(2 "" ${VQIMPORT} --variant 2 ${WORK}/golden.chb)
if(NOT last_err MATCHES "Replace the database")
  message(FATAL_ERROR "vqimport did not ask: ${last_err}")
endif()
run(0 "3 of 3 games came in" ${VQIMPORT} --yes --variant 2 ${WORK}/golden.chb ${WORK}/golden.vqb)
