# LMRA_SANITIZER: "" (none), "address" (AddressSanitizer with UndefinedBehaviorSanitizer) or "thread".
set(LMRA_SANITIZER "" CACHE STRING "Sanitizer build: '', 'address' or 'thread'")
option(LMRA_BUILD_BENCHMARKS "Build the Google Benchmark programs under build/bench" ON)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

if(LMRA_SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(LMRA_SANITIZER STREQUAL "thread")
  # GCC warns that ThreadSanitizer does not model atomic_thread_fence, which Boost.Asio uses;
  # the warning would be an error under -Werror.
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer $<$<CXX_COMPILER_ID:GNU>:-Wno-tsan>)
  add_link_options(-fsanitize=thread)
elseif(NOT LMRA_SANITIZER STREQUAL "")
  message(FATAL_ERROR "Unknown LMRA_SANITIZER '${LMRA_SANITIZER}'")
endif()
