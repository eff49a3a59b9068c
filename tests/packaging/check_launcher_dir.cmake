# SPDX-License-Identifier: 0BSD
# Lays a probe out as the game is installed (the program in lib/tavlin, a
# relative link to it in bin) and starts it through the link, by path and by
# name on PATH as the desktop starts the game: the best-of table belongs in
# lib/tavlin, not in bin. Then starts a copy in a folder whose name is the
# bytes FF FE, not UTF-8: its table must be saved and read there, and never
# in the root folder, where a folder name that Qt cannot decode led before.
#
#   cmake -DPROBE=... -DWORK_DIR=... -P check_launcher_dir.cmake

cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../fixtures/checks.cmake)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/lib/tavlin" "${WORK_DIR}/bin")
file(COPY_FILE "${PROBE}" "${WORK_DIR}/lib/tavlin/probe")
file(CHMOD "${WORK_DIR}/lib/tavlin/probe" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(CREATE_LINK ../lib/tavlin/probe "${WORK_DIR}/bin/probe" SYMBOLIC)
file(REAL_PATH "${WORK_DIR}/lib/tavlin/tavlin.inf" expected)
foreach(command "${WORK_DIR}/bin/probe" "${CMAKE_COMMAND};-E;env;PATH=${WORK_DIR}/bin:$ENV{PATH};probe")
  execute_process(COMMAND ${command} RESULT_VARIABLE rc OUTPUT_VARIABLE table ERROR_VARIABLE err
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  check("rc EQUAL 0 AND table STREQUAL expected"
        MESSAGE "started as ${command} (${rc}, ${err}), the table is '${table}', not '${expected}'")
endforeach()

# The folder FF FE is made by the shell, as CMake's strings are UTF-8.
set(root_table_before FALSE)
if(EXISTS "/tavlin.inf")
  set(root_table_before TRUE)
endif()
execute_process(COMMAND sh -c [=[d="$1/$(printf '\377\376')" && mkdir "$d" && cp "$2" "$d/probe" &&
                                "$d/probe" save && [ "$(wc -c < "$d/tavlin.inf")" -eq 190 ]]=]
                        sh "${WORK_DIR}" "${PROBE}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
check("rc EQUAL 0 AND (root_table_before OR NOT EXISTS /tavlin.inf)"
      MESSAGE "in a folder named FF FE the probe did not save and read a 190-byte table beside itself (${rc}): ${out}")
end_checks("Through the launcher link and in a folder named FF FE, the table is beside the program.")
