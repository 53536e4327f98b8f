# Included before the libraries are added when BRIMHOLD_FUZZ is on: every library is built with the
# fuzzer's coverage hooks and with AddressSanitizer and UndefinedBehaviorSanitizer, so a fuzz target
# sees coverage and faults inside the code it drives, not only in its own file.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "BRIMHOLD_FUZZ needs clang (libFuzzer): configure with CXX=clang++")
endif()
set(BRIMHOLD_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-fsanitize=fuzzer-no-link ${BRIMHOLD_SANITIZERS})
add_link_options(${BRIMHOLD_SANITIZERS})
