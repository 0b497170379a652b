# Builds a raw database in text bytes, compresses it with edbtool and probes it back.
# Value number 2976 (side-0 man on 1, side-1 man on 2) holds 'A' (65: a win in 65 plies), the
# numbers before it '.' (46: a loss in 46 plies).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(REPEAT "." 2976 pad)
file(WRITE ${WORK}/tiny.raw "${pad}A")

function(run expected)
  execute_process(COMMAND ${EDBTOOL} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "edbtool ${ARGN}: expected '${expected}', got '${out}' '${err}' (${rc})")
  endif()
endfunction()

run("ok: .*tiny.cpr" compress ${WORK}/tiny.raw)
run("value 65 score 1934" probe ${WORK}/tiny.cpr --squares "wb.............................." --side 0)
# Side 1 to move with a side-0 man on 31 and a side-1 man on 32 is the same position turned.
run("value 65 score 1934" probe ${WORK}/tiny.cpr --squares "..............................wb" --side 1)
run("value 46 score -1953" probe ${WORK}/tiny.cpr --squares "bw.............................." --side 0)
run("one piece, not stored: score 1999" probe ${WORK}/tiny.cpr --squares "W..............................." --side 0)
run("no value" probe ${WORK}/tiny.cpr --squares "wwwbbb.........................." --side 0)
run("" compress ${WORK}/tiny.cpr) # its own output name: refused
if(NOT EXISTS ${WORK}/tiny.cpr)
  message(FATAL_ERROR "the refused compression removed its input")
endif()
