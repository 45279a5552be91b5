# Authenticode signing of what the Windows tree ships: the program, the installer and the
# uninstaller the installer writes. A publisher gives a certificate and its key by path
# (ZC_CODE_SIGNING_CERT, ZC_CODE_SIGNING_KEY, PEM) and, to have the signatures outlive the
# certificate, a timestamp server (ZC_TIMESTAMP_URL). Without them the tree makes a
# development certificate of its own in <build>/codesign, as it makes the development
# definitions key, and the tests verify every signature against it.
#   ZC_SIGN_COMMAND  the command that signs one file in place (the file's path and then
#                    ZC_TIMESTAMP_URL follow),
#                    empty where nothing can sign (no osslsigncode)
#   ZC_SIGNING_CA    the certificate to verify the signatures against
set(ZC_CODE_SIGNING_CERT "" CACHE FILEPATH "PEM certificate (with its chain) that signs the program and installer")
set(ZC_CODE_SIGNING_KEY "" CACHE FILEPATH "PEM private key of ZC_CODE_SIGNING_CERT")
set(ZC_TIMESTAMP_URL "" CACHE STRING "RFC 3161 timestamp server for the signatures (none: no timestamp)")
find_program(ZC_OSSLSIGNCODE osslsigncode)
find_program(ZC_OPENSSL openssl)
set(ZC_SIGN_COMMAND "")
set(ZC_SIGNING_CA "")
if(NOT ZC_OSSLSIGNCODE)
  message(STATUS "No osslsigncode: the program and installer are not signed (Debian package osslsigncode)")
  return()
endif()
set(zc_cert "${ZC_CODE_SIGNING_CERT}")
set(zc_key "${ZC_CODE_SIGNING_KEY}")
if(zc_cert STREQUAL "" OR zc_key STREQUAL "")
  if(NOT ZC_OPENSSL)
    message(STATUS "No openssl: no development code-signing certificate, nothing is signed")
    return()
  endif()
  set(zc_cert ${CMAKE_BINARY_DIR}/codesign/development.crt)
  set(zc_key ${CMAKE_BINARY_DIR}/codesign/development.key)
  if(NOT EXISTS ${zc_cert} OR NOT EXISTS ${zc_key})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/codesign)
    execute_process(
      COMMAND ${ZC_OPENSSL} req -x509 -newkey rsa:3072 -sha256 -days 3650 -nodes -keyout ${zc_key} -out ${zc_cert}
              -subj "/CN=ZombieCure Development Code Signing" -addext "keyUsage=critical,digitalSignature"
              -addext "extendedKeyUsage=codeSigning"
      RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "openssl could not make the development code-signing certificate: ${err}")
    endif()
    message(STATUS "Made the development code-signing certificate ${zc_cert}")
  endif()
endif()
set(ZC_SIGN_COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/sign-file.sh ${zc_cert} ${zc_key})
set(ZC_SIGNING_CA ${zc_cert})
