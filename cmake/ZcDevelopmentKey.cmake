# Build-time script: makes the development key pair in DIR once (zdefs keygen) and writes
# its public key, in the build option's form, to DIR/definitions.pub.hex.
#   cmake -DZDEFS=<zdefs> -DDIR=<folder> -P ZcDevelopmentKey.cmake
set(private ${DIR}/definitions.pem)
set(public ${DIR}/definitions.pub.pem)
file(MAKE_DIRECTORY ${DIR})
if(NOT EXISTS ${private})
  execute_process(COMMAND ${ZDEFS} keygen ${private} ${public} RESULT_VARIABLE status ERROR_VARIABLE err
                  OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "zdefs keygen failed: ${err}")
  endif()
  message(STATUS "Made the development key pair ${private}")
endif()
execute_process(COMMAND ${ZDEFS} public-key ${public} RESULT_VARIABLE status OUTPUT_VARIABLE hex ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zdefs public-key ${public} failed: ${err}")
endif()
string(STRIP "${hex}" hex)
file(CONFIGURE OUTPUT ${DIR}/definitions.pub.hex CONTENT "${hex}\n")
