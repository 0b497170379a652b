# run(rc regex command...): runs a tool with no input and fails unless it exits with `rc` and its
# standard output matches `regex`; leaves the outputs in last_out and last_err.
function(run expected_rc expected_out)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc INPUT_FILE /dev/null)
  if(NOT rc EQUAL expected_rc OR NOT out MATCHES "${expected_out}")
    message(FATAL_ERROR "${ARGN}: expected ${expected_rc} and '${expected_out}', got ${rc}: '${out}' '${err}'")
  endif()
  set(last_out "${out}" PARENT_SCOPE)
  set(last_err "${err}" PARENT_SCOPE)
endfunction()
