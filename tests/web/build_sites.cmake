# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# Configures and builds the browser tree the web tests play, then checks that a handler with an
# emscripten include does not compile there:
#   cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DEMCMAKE=<emcmake or empty> -P build_sites.cmake
# Where emscripten is missing it says so, and the test reads that as skipped.
cmake_minimum_required(VERSION 3.25)

if(NOT EMCMAKE)
  message("SKIPPED: emscripten is not installed (apt-get install emscripten), so the browser "
          "version is not built or played")
  return()
endif()
foreach(step configure build)
  if(step STREQUAL configure)
    set(command ${EMCMAKE} ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR}
        -DCMAKE_BUILD_TYPE=Release -DDRENCHWICK_WEB_TEST_SITE=ON)
  else()
    cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)
    set(command ${CMAKE_COMMAND} --build ${BINARY_DIR} -j${jobs})
  endif()
  execute_process(COMMAND ${command} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the browser build failed to ${step} (${rc})")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --target web_wall_probe
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc EQUAL 0 OR NOT out MATCHES "the game is written against the forms runtime alone")
  message(FATAL_ERROR "a handler with an emscripten include compiled in the browser build:\n${out}")
endif()
