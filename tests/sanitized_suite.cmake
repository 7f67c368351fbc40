# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# Builds the project once more with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer in BINARY_DIR and runs the whole test suite there. Run as a test of the normal
# build:  cmake -DSOURCE_DIR=<source> -DBINARY_DIR=<dir> -P sanitized_suite.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR BINARY_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "sanitized build: ${what} failed (${rc})")
  endif()
endfunction()

run(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR}
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRENCHWICK_SANITIZE=ON -DDRENCHWICK_BENCH=OFF)
run(build ${CMAKE_COMMAND} --build ${BINARY_DIR} -j${jobs})

# Every finding fails: UBSan stops at its first report, ASan and LSan end the process with a
# failing status, which the tests see as the game's or their own.
set(ENV{ASAN_OPTIONS}
    "detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:abort_on_error=0")
set(ENV{UBSAN_OPTIONS} "print_stacktrace=1:halt_on_error=1")
set(ENV{LSAN_OPTIONS} "suppressions=${SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
run(tests ${CMAKE_CTEST_COMMAND} --test-dir ${BINARY_DIR} --output-on-failure -j${jobs})
