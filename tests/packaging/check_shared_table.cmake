# SPDX-License-Identifier: 0BSD
# The Debian package's maintainer scripts on the best-of table that all the
# accounts share, run as dpkg runs them but on a scratch root (DPKG_ROOT):
# the first configure makes the very table the game writes when it is
# cleared, that everyone may write, in a folder only root may; a later
# configure (an upgrade or a reinstall) and a removal keep the players'
# results; a purge deletes the table and its folder.
#
#   cmake -DPROBE=... -DDEBIAN_DIR=... -DWORK_DIR=... -P check_shared_table.cmake

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/../fixtures/checks.cmake)
macro(run script)
  execute_process(COMMAND env "DPKG_ROOT=${WORK_DIR}/root" sh "${DEBIAN_DIR}/${script}" ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  check("rc EQUAL 0" MESSAGE "${script} ${ARGN} ended with ${rc}: ${out}")
endmacro()

# The game's own default table: the probe saves it beside itself.
file(REMOVE_RECURSE "${WORK_DIR}")
file(COPY "${PROBE}" DESTINATION "${WORK_DIR}/probe")
get_filename_component(probe_name "${PROBE}" NAME)
execute_process(COMMAND "${WORK_DIR}/probe/${probe_name}" save)
file(READ "${WORK_DIR}/probe/tavlin.inf" game_table HEX)

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
end_checks("The maintainer scripts make, keep and purge the shared table.")
