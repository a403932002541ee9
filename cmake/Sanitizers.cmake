# The checked build that CI runs the windowless tests and the fuzzers in:
# AddressSanitizer with its leak check and UndefinedBehaviorSanitizer on all
# of our code. Qt, FreeImage, libjpeg and SQLCipher are the system's builds
# and stay unchecked. Any finding ends the program at once.
option(TOVIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(TOVIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # Coverage for libFuzzer, so that the fuzz targets see into our code.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()
