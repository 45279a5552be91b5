# ctest helper: bad arguments to zdefs give a usage message on stderr and exit code 2.
# -DZDEFS=<program> [-DEMULATOR=<runner>]
set(cases
  "text-encrypt"
  "text-encrypt;a;b"
  "text-decrypt"
  "envelope-encrypt;80C8"
  "envelope-encrypt;80C;00"
  "envelope-decrypt;80C8;XYZW"
  "keygen"
  "sign;wire.txt"
  "verify;wire.txt;wire.txt.sig"
  "no-such-command"
  "")
foreach(case IN LISTS cases)
  execute_process(COMMAND ${EMULATOR} ${ZDEFS} ${case}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "zdefs ${case}: exit ${status}, expected 2")
  endif()
  if(EMULATOR)
    # The Wine runner hands both streams back as one.
    set(err "${out}${err}")
    set(out "")
  endif()
  if(NOT err MATCHES "usage")
    message(FATAL_ERROR "zdefs ${case}: no usage on stderr: ${err}")
  endif()
  if(NOT out STREQUAL "")
    message(FATAL_ERROR "zdefs ${case}: printed on stdout: ${out}")
  endif()
endforeach()
