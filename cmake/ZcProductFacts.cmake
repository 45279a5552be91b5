# The product's name, version and publisher, read once from the program's own sources for
# everything that states them outside the program: the executable's version resource and
# manifest (win32/app) and the installer (installer/).
#   ZC_PRODUCT_NAME    the window caption ("좀비 PC 치료기")
#   ZC_VERSION         the version text ("2.0")
#   ZC_FILE_VERSION    four numbers ("2.0.0.0"), ZC_VERSION_COMMAS the same with commas
#   ZC_PUBLISHER       the publisher's name
#   ZC_MSI_UPGRADE_CODE  the MSI package's upgrade code: the same for every version, so a
#                      newer package replaces an older one; the NSIS installer looks for it
#                      to refuse installing over the package
set(ZC_PUBLISHER "ZombieCure")
set(ZC_MSI_UPGRADE_CODE "{6F1B3C52-8E0A-4D7B-9C31-2A54E7D80F19}")
set(zc_facts_plain_texts ${PROJECT_SOURCE_DIR}/core/texts/plain_texts.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${zc_facts_plain_texts})

# zc_plain_text(<name> <var>): the plain value of a text constant.
function(zc_plain_text name var)
  file(STRINGS ${zc_facts_plain_texts} lines ENCODING UTF-8 REGEX "^${name} *= *\"")
  if(NOT lines MATCHES "^${name} *= *\"(.*)\"$")
    message(FATAL_ERROR "plain_texts.txt has no constant ${name}")
  endif()
  set(${var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

zc_plain_text(VersionText ZC_VERSION)
zc_plain_text(WindowCaption ZC_PRODUCT_NAME)
string(REGEX MATCHALL "[0-9]+" zc_version_numbers "${ZC_VERSION}")
list(APPEND zc_version_numbers 0 0 0 0)
list(SUBLIST zc_version_numbers 0 4 zc_version_numbers)
list(JOIN zc_version_numbers "." ZC_FILE_VERSION)
list(JOIN zc_version_numbers "," ZC_VERSION_COMMAS)
