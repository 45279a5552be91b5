# Authenticode signing of the Windows files (the program, the installer, the uninstaller
# the installer writes) with osslsigncode, SHA-256.
#
#   ZC_SIGNING_CERTIFICATE  the publisher's certificate chain (PEM or DER), or a PKCS#12
#                           file (.pfx/.p12) holding certificate and key
#   ZC_SIGNING_KEY          its private key (PEM or DER), unless in the PKCS#12 file
#   ZC_SIGNING_PASSWORD_FILE  a file holding the key's or the PKCS#12 file's password
#   ZC_TIMESTAMP_URL        an RFC 3161 timestamp server; without one no timestamp
# Each is read from the environment variable of the same name when not set here.
# Without a certificate the build makes a development certificate of its own once
# (<build>/signing/development-certificate.pem and its key), signs with it, and the tests
# verify the signatures against it. Files signed with it are for testing only.
#
# Sets ZC_SIGN_COMMAND (a script that signs the file it is given in place; empty when
# osslsigncode is missing) and ZC_SIGNING_CA (the certificate the signatures verify
# against, when the build knows it: the development certificate, or ZC_SIGNING_CA_FILE).
set(ZC_SIGN_COMMAND "")
set(ZC_SIGNING_CA "")
find_program(ZC_OSSLSIGNCODE osslsigncode)
if(NOT ZC_OSSLSIGNCODE)
  message(STATUS "No osslsigncode: the Windows files are not signed (Debian package osslsigncode)")
  return()
endif()

foreach(setting ZC_SIGNING_CERTIFICATE ZC_SIGNING_KEY ZC_SIGNING_PASSWORD_FILE ZC_TIMESTAMP_URL ZC_SIGNING_CA_FILE)
  if(NOT DEFINED ${setting} AND DEFINED ENV{${setting}})
    set(${setting} "$ENV{${setting}}")
  endif()
endforeach()
set(ZC_SIGNING_CERTIFICATE "${ZC_SIGNING_CERTIFICATE}" CACHE FILEPATH
    "Publisher's code-signing certificate (PEM/DER chain, or .pfx/.p12); empty for the build's development certificate")
set(ZC_SIGNING_KEY "${ZC_SIGNING_KEY}" CACHE FILEPATH "Private key of ZC_SIGNING_CERTIFICATE (not for .pfx/.p12)")
set(ZC_SIGNING_PASSWORD_FILE "${ZC_SIGNING_PASSWORD_FILE}" CACHE FILEPATH "File holding the key's password")
set(ZC_TIMESTAMP_URL "${ZC_TIMESTAMP_URL}" CACHE STRING "RFC 3161 timestamp server; empty for no timestamp")
set(ZC_SIGNING_CA_FILE "${ZC_SIGNING_CA_FILE}" CACHE FILEPATH
    "Root certificate the tests verify a publisher's signatures against (optional)")

set(zc_signing_dir ${CMAKE_BINARY_DIR}/signing)
file(MAKE_DIRECTORY ${zc_signing_dir})
if(ZC_SIGNING_CERTIFICATE)
  foreach(file ZC_SIGNING_CERTIFICATE ZC_SIGNING_KEY ZC_SIGNING_PASSWORD_FILE)
    if(${file} AND NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file}: no such file ${${file}}")
    endif()
  endforeach()
  if(ZC_SIGNING_CERTIFICATE MATCHES "\\.(pfx|p12)$")
    set(zc_sign_credentials "-pkcs12 \"${ZC_SIGNING_CERTIFICATE}\"")
  elseif(ZC_SIGNING_KEY)
    set(zc_sign_credentials "-certs \"${ZC_SIGNING_CERTIFICATE}\" -key \"${ZC_SIGNING_KEY}\"")
  else()
    message(FATAL_ERROR "ZC_SIGNING_CERTIFICATE ${ZC_SIGNING_CERTIFICATE} needs ZC_SIGNING_KEY (or a .pfx/.p12 file)")
  endif()
  if(ZC_SIGNING_PASSWORD_FILE)
    string(APPEND zc_sign_credentials " -readpass \"${ZC_SIGNING_PASSWORD_FILE}\"")
  endif()
  set(ZC_SIGNING_CA "${ZC_SIGNING_CA_FILE}")
else()
  # The development certificate: self-signed, for code signing, made once per build tree.
  find_program(ZC_OPENSSL openssl)
  if(NOT ZC_OPENSSL)
    message(STATUS "No openssl for a development certificate: the Windows files are not signed")
    return()
  endif()
  set(zc_dev_cert ${zc_signing_dir}/development-certificate.pem)
  set(zc_dev_key ${zc_signing_dir}/development-key.pem)
  if(NOT EXISTS ${zc_dev_cert} OR NOT EXISTS ${zc_dev_key})
    execute_process(
      COMMAND ${ZC_OPENSSL} req -x509 -newkey rsa:3072 -sha256 -days 3650 -nodes
              -keyout ${zc_dev_key} -out ${zc_dev_cert}
              -subj "/CN=ZombieCure development signing (not for release)/O=ZombieCure"
              -addext "keyUsage=critical,digitalSignature,keyCertSign"
              -addext "extendedKeyUsage=codeSigning"
              -addext "basicConstraints=critical,CA:TRUE"
      RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "openssl could not make the development certificate: ${err}")
    endif()
    message(STATUS "Made the development signing certificate ${zc_dev_cert}")
  endif()
  set(zc_sign_credentials "-certs \"${zc_dev_cert}\" -key \"${zc_dev_key}\"")
  set(ZC_SIGNING_CA ${zc_dev_cert})
endif()

set(zc_sign_timestamp "")
if(ZC_TIMESTAMP_URL)
  set(zc_sign_timestamp "-ts \"${ZC_TIMESTAMP_URL}\"")
endif()
set(ZC_SIGN_COMMAND ${zc_signing_dir}/sign.sh)
file(CONFIGURE OUTPUT ${ZC_SIGN_COMMAND} CONTENT [[
#!/bin/sh
# Signs FILE in place: Authenticode, SHA-256 (written by the build: cmake/ZcSigning.cmake).
#   sign.sh FILE
set -e
[ $# -eq 1 ] || { echo "usage: sign.sh FILE" >&2; exit 2; }
signed="$1.signed"
rm -f "$signed"
"@ZC_OSSLSIGNCODE@" sign -h sha256 @zc_sign_credentials@ @zc_sign_timestamp@ \
  -n "@zc_product_name@" -in "$1" -out "$signed" >/dev/null
mv -f "$signed" "$1"
]] @ONLY)
file(CHMOD ${ZC_SIGN_COMMAND} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
     WORLD_READ WORLD_EXECUTE)
