# What the program's file properties and its installer say about the product, read from the
# program's own texts (core/texts/plain_texts.txt) so no version or name is written twice.
#   zc_product_name       the window caption, the product's name
#   zc_version            the version the program shows ("2.0")
#   zc_file_version       four numbers for file properties ("2.0.0.0")
#   zc_file_version_rc    the same, comma-separated for a resource script ("2,0,0,0")
#   zc_publisher          the company named in the file properties and the uninstall entry
set(zc_plain_texts ${PROJECT_SOURCE_DIR}/core/texts/plain_texts.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${zc_plain_texts})

# zc_plain_text(<name> <var>): the plain value of a text constant.
function(zc_plain_text name var)
  file(STRINGS ${zc_plain_texts} lines ENCODING UTF-8 REGEX "^${name} *= *\"")
  if(NOT lines MATCHES "^${name} *= *\"(.*)\"$")
    message(FATAL_ERROR "plain_texts.txt has no constant ${name}")
  endif()
  set(${var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

zc_plain_text(VersionText zc_version)
zc_plain_text(WindowCaption zc_product_name)
set(zc_publisher "ZombieCure")

# A version of four numbers: 2.0 becomes 2.0.0.0.
string(REGEX MATCHALL "[0-9]+" zc_version_numbers "${zc_version}")
list(APPEND zc_version_numbers 0 0 0 0)
list(SUBLIST zc_version_numbers 0 4 zc_version_numbers)
list(JOIN zc_version_numbers "." zc_file_version)
list(JOIN zc_version_numbers "," zc_file_version_rc)
