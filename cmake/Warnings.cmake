# Project-wide compiler settings: warnings are errors, and floating point stays strict so that
# every client computes bit-identical ball flights.
add_compile_options(
  -Wall -Wextra -Wpedantic -Werror
  -Wno-missing-field-initializers
  -ffp-contract=off -fno-fast-math
)
if(BRIGHTLEA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(BRIGHTLEA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "BRIGHTLEA_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
