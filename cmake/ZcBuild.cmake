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
