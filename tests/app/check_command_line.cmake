# The game with no display reachable: --version and --help answer anyway, what it does not take is refused in
# Czech with status 2, and a plain start says in one Czech line that there is no display, with status 1.
#   cmake -DPROGRAM=... -DVERSION=... -DWORK_DIR=... -P check_command_line.cmake

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/../fixtures/checks.cmake)
set(no_display_line "tavlin: není dostupný žádný displej (X server ani Wayland), okno hry nelze otevřít.\n")
set(see_help "Nápovědu vypíše: tavlin --help\n")

# expect(<status> <stdout> <stderr> <argument>...)
macro(expect status stdout stderr)
  # env execs the program, so an abort shows as such, not as a status.
  execute_process(COMMAND env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= ${PROGRAM} ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
  set(wanted_rc "${status}")
  set(wanted_out "${stdout}")
  set(wanted_err "${stderr}")
  check("rc STREQUAL wanted_rc AND out STREQUAL wanted_out AND err STREQUAL wanted_err"
        MESSAGE "tavlin ${ARGN}: status ${rc}, stdout:\n${out}\nstderr:\n${err}\nexpected ${status}:\n${stdout}\n${stderr}")
endmacro()

expect(0 "Tavlin ${VERSION}\n" "" --version)
expect(2 "" "tavlin: neznámá volba „--fullscreen“.\n${see_help}" --fullscreen)
expect(2 "" "tavlin: nečekaný argument „hra.inf“; hra žádné argumenty nebere.\n${see_help}" hra.inf)
expect(2 "" "tavlin: volbě „-display“ chybí hodnota.\n${see_help}" -display)
expect(1 "" "${no_display_line}")
# Qt's own options are Qt's: the display named here is not there either.
expect(1 "" "${no_display_line}" -display :99999 -reverse)

execute_process(COMMAND env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "${PROGRAM}" --help
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
string(REGEX MATCH "^Použití: tavlin \\[VOLBA\\]\n.*--version  vypíše verzi" usage "${out}")
check("rc EQUAL 0 AND err STREQUAL \"\" AND usage" MESSAGE "tavlin --help ended with ${rc}, printed\n${out}\n${err}")

# Started set-uid by another user, it says so instead of blaming the display.
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(uid STREQUAL "0")
  set(copy "${WORK_DIR}/setuid/tavlin")
  file(REMOVE_RECURSE "${WORK_DIR}/setuid")
  file(MAKE_DIRECTORY "${WORK_DIR}/setuid")
  file(COPY_FILE "${PROGRAM}" "${copy}" ONLY_IF_DIFFERENT)
  file(CHMOD "${WORK_DIR}/setuid" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  file(CHMOD "${copy}" PERMISSIONS SETUID OWNER_READ OWNER_WRITE OWNER_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(PROGRAM setpriv --reuid=65534 --regid=65534 --clear-groups "${copy}")
  expect(1 "" "tavlin: hra se nespouští se zvýšenými oprávněními (set-uid ani set-gid); spusťte ji jako běžný program.
")
else()
  message("SKIPPED: the set-uid start needs root to make a program of another user")
endif()

end_checks("The command line behaves.")
