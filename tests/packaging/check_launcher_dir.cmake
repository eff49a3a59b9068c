# Lays a probe out as the game is installed (the program in lib/tavlin, a
# relative link to it in bin) and starts it through the link, by path and by
# name on PATH as the desktop starts the game: Qt must name lib/tavlin as the
# program's folder, where the best-of table belongs, not bin.
#
#   cmake -DPROBE=... -DWORK_DIR=... -P check_launcher_dir.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/lib/tavlin" "${WORK_DIR}/bin")
file(COPY_FILE "${PROBE}" "${WORK_DIR}/lib/tavlin/probe")
file(CHMOD "${WORK_DIR}/lib/tavlin/probe" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(CREATE_LINK ../lib/tavlin/probe "${WORK_DIR}/bin/probe" SYMBOLIC)
file(REAL_PATH "${WORK_DIR}/lib/tavlin" expected)

set(failures 0)
foreach(how path name)
  if(how STREQUAL "path")
    set(command "${WORK_DIR}/bin/probe")
  else()
    set(command ${CMAKE_COMMAND} -E env "PATH=${WORK_DIR}/bin:$ENV{PATH}" probe)
  endif()
  execute_process(COMMAND ${command} RESULT_VARIABLE rc OUTPUT_VARIABLE dir ERROR_VARIABLE err
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "FAIL: the probe started by ${how} ended with ${rc}: ${err}")
    math(EXPR failures "${failures} + 1")
  elseif(NOT dir STREQUAL expected)
    message(SEND_ERROR "FAIL: started by ${how} through bin/probe, the program's folder is '${dir}', expected '${expected}'")
    math(EXPR failures "${failures} + 1")
  else()
    message("Started by ${how} through the link: the program's folder is ${dir}")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
