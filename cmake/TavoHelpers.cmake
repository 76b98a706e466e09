# Shared build helpers. Subsystem folders use these so that flags, test
# registration and fixture paths stay the same everywhere.

macro(tavo_setup_toolchain_flags)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  if(TAVO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(TAVO_TSAN)
    if(TAVO_SANITIZE)
      message(FATAL_ERROR "TAVO_TSAN and TAVO_SANITIZE exclude each other")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
  if(TAVO_FUZZ)
    # Libraries are instrumented for coverage; only fuzz targets link the driver.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  # Shared modules link with ${TAVO_NO_UNDEFINED}, so that a symbol missing
  # from a module shows when it is built, not when a host loads it. Clang puts
  # its sanitizer and coverage runtimes into executables only: an instrumented
  # module built with clang leaves those symbols to the program that loads it.
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (TAVO_SANITIZE OR TAVO_TSAN OR TAVO_FUZZ))
    set(TAVO_NO_UNDEFINED "")
  else()
    set(TAVO_NO_UNDEFINED -Wl,--no-undefined)
  endif()
endmacro()

# tavo_test(NAME SOURCES a.cc b.cc LIBS x y)
# A GoogleTest executable registered with CTest. Tests find shipped fixtures
# through TAVO_SOURCE_DIR and write scratch files below TAVO_TEST_TMPDIR.
function(tavo_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  # Helpers shared by the suites: tests/support/.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TAVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TAVO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "TAVO_TEST_TMPDIR=${PROJECT_BINARY_DIR}/test-tmp")
endfunction()

# tavo_bench(NAME SOURCES ... LIBS ...): a Google Benchmark executable.
function(tavo_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
  target_compile_definitions(${name} PRIVATE TAVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

# tavo_fuzzer(NAME SOURCES ... LIBS ...): a libFuzzer target (clang only),
# also built by the target `fuzz_targets` (fuzz/CMakeLists.txt).
function(tavo_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  add_dependencies(fuzz_targets ${name})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_compile_definitions(${name} PRIVATE TAVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
