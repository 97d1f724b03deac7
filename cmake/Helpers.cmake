# Warnings are errors in our own code.
function(lmra_warnings target)
  if(MSVC)  # a user's devkit build on Windows; the Windows check here compiles with MinGW
    target_compile_options(${target} PRIVATE /W4 /external:W0)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  endif()
endfunction()

# lmra_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [TIMEOUT <seconds>])
# One GoogleTest executable, registered as one CTest test. Label "threaded" marks the tests that
# also run under ThreadSanitizer.
function(lmra_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} lmra_test_support GTest::gtest GTest::gtest_main GTest::gmock
                                          Threads::Threads)
  lmra_warnings(${T_NAME})
  # A test program is no plug-in: MFnPlugin.h must not define MApiVersion in it.
  target_compile_definitions(${T_NAME} PRIVATE MNoVersionString)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "LMRA_BUILD_DIR=${CMAKE_BINARY_DIR};LMRA_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
  # Tests load the plug-in and run hostbatch as a child; building a test builds them too.
  foreach(runtime lumoraMocap hostbatch)
    if(TARGET ${runtime})
      add_dependencies(${T_NAME} ${runtime})
    endif()
  endforeach()
endfunction()

# lmra_add_benchmark(NAME <name> SOURCES <files...> [LIBS <targets...>]): a Google Benchmark program in build/bench.
function(lmra_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  if(NOT LMRA_BUILD_BENCHMARKS)  # still defined, built only when asked for by name
    set_target_properties(${B_NAME} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
  set_target_properties(${B_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} lmra_test_support benchmark::benchmark benchmark::benchmark_main Threads::Threads)
  lmra_warnings(${B_NAME})
endfunction()

# A static library that is linked into the plug-in: position independent, warnings as errors,
# and hidden symbols so that the plug-in's copies never interpose on a test program's copies.
# Headers are included by their folder from the top of the tree ("clip/format/ClipWriter.h").
function(lmra_plugin_library target)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  lmra_warnings(${target})
endfunction()
