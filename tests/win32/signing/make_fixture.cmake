# Build-time script: two key pairs and signatures made by the host zdefs (OpenSSL), written
# as hexadecimal texts into a header for the CNG test.
#   cmake -DZDEFS=<host zdefs> -DMESSAGE=<file to sign> -DWORK=<folder> -DOUTPUT=<header> -P make_fixture.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
function(zdefs)
  execute_process(COMMAND ${ZDEFS} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "zdefs ${ARGN}: ${err}")
  endif()
  string(STRIP "${out}" out)
  set(zdefs_out "${out}" PARENT_SCOPE)
endfunction()
function(read_text name variable)
  file(READ ${WORK}/${name} text)
  string(STRIP "${text}" text)
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

zdefs(keygen ${WORK}/a.pem ${WORK}/a.pub.pem)
set(key_a "${zdefs_out}")
zdefs(keygen ${WORK}/b.pem ${WORK}/b.pub.pem)
set(key_b "${zdefs_out}")
file(COPY_FILE ${MESSAGE} ${WORK}/set.txt)
file(WRITE ${WORK}/empty.txt "")
zdefs(sign ${WORK}/empty.txt ${WORK}/a.pem)
zdefs(sign ${WORK}/set.txt ${WORK}/b.pem)
file(RENAME ${WORK}/set.txt.sig ${WORK}/set-b.sig)
zdefs(sign ${WORK}/set.txt ${WORK}/a.pem)
read_text(set.txt.sig sig_a)
read_text(set-b.sig sig_b)
read_text(empty.txt.sig sig_empty)
file(READ ${WORK}/set.txt message HEX)

file(WRITE ${OUTPUT} "// Generated at build time by make_fixture.cmake with the host zdefs; do not edit.
#pragma once
namespace zc::fixture {
inline constexpr char kKeyA[] = \"${key_a}\";
inline constexpr char kKeyB[] = \"${key_b}\";
inline constexpr char kMessageHex[] = \"${message}\";
inline constexpr char kSignatureA[] = \"${sig_a}\";     // key A's signature of the message
inline constexpr char kSignatureB[] = \"${sig_b}\";     // key B's signature of the message
inline constexpr char kSignatureEmpty[] = \"${sig_empty}\";  // key A's signature of no bytes
}  // namespace zc::fixture
")
