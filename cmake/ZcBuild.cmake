# Shared build settings and the helpers every folder uses to declare its targets.

function(zc_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
  endif()
endfunction()

function(zc_windows_defines target)
  if(ZC_TARGET_WINDOWS)
    target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()

# The host test tree is built with sanitizers as a whole, so the core and the tests agree.
if(ZC_SANITIZE AND NOT ZC_TARGET_WINDOWS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Host programs that run during the build (constgen, zdefs, icongen). A cross build runs
# the host tree's copies: scripts/build.sh builds that tree first and passes its tools folder.
set(ZC_HOST_TOOLS_DIR "" CACHE PATH "Folder of the host tree's tools (cross builds): <dir>/<tool>/<tool>")

# zc_host_tool(<tool> <command-var> <depends-var>): the <tool> this tree runs during the
# build: its own target, or in a cross build the host tree's copy. Both variables are left
# empty when a cross build has no host copy.
function(zc_host_tool tool command_var depends_var)
  if(NOT CMAKE_CROSSCOMPILING)
    set(${command_var} $<TARGET_FILE:${tool}> PARENT_SCOPE)
    set(${depends_var} ${tool} PARENT_SCOPE)
  elseif(ZC_HOST_TOOLS_DIR AND EXISTS "${ZC_HOST_TOOLS_DIR}/${tool}/${tool}")
    set(${command_var} "${ZC_HOST_TOOLS_DIR}/${tool}/${tool}" PARENT_SCOPE)
    set(${depends_var} "${ZC_HOST_TOOLS_DIR}/${tool}/${tool}" PARENT_SCOPE)
  else()
    set(${command_var} "" PARENT_SCOPE)
    set(${depends_var} "" PARENT_SCOPE)
  endif()
endfunction()

# The development key pair of this machine's builds (tools/zdefs makes it in the host
# tree): this tree's own in a host build, the host tree's in a cross build, none where
# neither exists (a native Windows build).
if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
  set(ZC_DEVELOPMENT_KEY_DIR ${CMAKE_BINARY_DIR}/tools/zdefs/development-key)
elseif(ZC_HOST_TOOLS_DIR)
  set(ZC_DEVELOPMENT_KEY_DIR ${ZC_HOST_TOOLS_DIR}/zdefs/development-key)
else()
  set(ZC_DEVELOPMENT_KEY_DIR "")
endif()
