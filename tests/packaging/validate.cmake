# SPDX-License-Identifier: 0BSD
# Runs one of the desktop's checkers on an installed file and fails on any
# error or warning it reports, and for the AppStream metainfo also on any
# info or pedantic hint. When the checker is not installed the test is
# skipped: scripts/setup installs it.
#
#   cmake -DTOOL=desktop-file-validate|appstreamcli -DFILE=<file or pattern> -P validate.cmake

cmake_minimum_required(VERSION 3.25)

find_program(checker "${TOOL}")
if(NOT checker)
  if(TOOL STREQUAL "desktop-file-validate")
    set(package desktop-file-utils)
  else()
    set(package appstream)
  endif()
  message("SKIPPED: ${TOOL} is not installed (Debian package ${package}; scripts/setup installs it)")
  return()
endif()

file(GLOB files "${FILE}")
list(LENGTH files count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "FAIL: expected one file ${FILE}, found ${count}")
endif()

if(TOOL STREQUAL "appstreamcli")
  # --strict makes warnings and infos fail; pedantic hints are counted below.
  set(command "${checker}" validate --no-net --strict --pedantic --explain "${files}")
else()
  set(command "${checker}" "${files}")
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "FAIL: ${TOOL} ended with ${rc}")
endif()
if(out MATCHES "(^|\n)[^\n]*: (error|warning): " OR out MATCHES "(^|\n)[EWIP]: ")
  message(FATAL_ERROR "FAIL: ${TOOL} reported errors or warnings")
endif()
message("${TOOL}: ${files} is valid.")
