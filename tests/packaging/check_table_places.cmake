# SPDX-License-Identifier: 0BSD
# Where the best-of table lives, through a probe that prints its path (and, given an argument, saves there):
# beside the program, by the launcher link, by PATH and in a folder FF FE; the shared one from the maintainer scripts.
#   cmake -DPROBE=... -DDEBIAN_DIR=... -DWORK_DIR=... -P check_table_places.cmake

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

# Beside it in a folder FF FE, never in the root folder. That name, not UTF-8, is made by the shell, as CMake's strings are
# UTF-8; a folder name that Qt cannot decode once led to the root folder.
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

macro(run script)
  execute_process(COMMAND env "DPKG_ROOT=${WORK_DIR}/root" sh "${DEBIAN_DIR}/${script}" ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  check("rc EQUAL 0" MESSAGE "${script} ${ARGN} ended with ${rc}: ${out}")
endmacro()
# As dpkg runs them, on DPKG_ROOT: the first configure makes the very table
# the game writes when it is cleared, that everyone may write, in a folder
# only root may; a later configure (an upgrade or a reinstall) and a removal
# keep the players' results; a purge deletes the table and its folder.
execute_process(COMMAND "${WORK_DIR}/lib/tavlin/probe" save)
file(READ "${WORK_DIR}/lib/tavlin/tavlin.inf" game_table HEX)
set(folder "${WORK_DIR}/root/var/games/tavlin")
run(postinst configure)
file(READ "${folder}/tavlin.inf" made HEX)
execute_process(COMMAND stat -c %a "${folder}/tavlin.inf" "${folder}" OUTPUT_VARIABLE modes)
set(shared "666\n755\n")
check("made STREQUAL game_table AND modes STREQUAL shared"
      MESSAGE "postinst made a table of modes ${modes}holding\n  ${made}\nthe game writes\n  ${game_table}")

file(WRITE "${folder}/tavlin.inf" "results")
run(postinst configure 1.0.30)
run(postrm remove)
file(READ "${folder}/tavlin.inf" kept)
check("kept STREQUAL results" MESSAGE "an upgrade or a removal replaced the players' table with '${kept}'")
run(postrm purge)
check("NOT EXISTS \"${folder}\"" MESSAGE "purge left ${folder}")
end_checks("The table is beside the program, through the launcher link and in a folder named FF FE; the maintainer scripts make, keep and purge the shared table.")
