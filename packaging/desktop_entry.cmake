# SPDX-License-Identifier: 0BSD
# Writes the desktop entry when it is installed, the one moment the prefix
# is known for sure (`cmake --install --prefix` overrides the configured one):
# Exec and TryExec name the installed program by its absolute path, so the
# menu entry starts the game right after the install, whatever PATH the
# session was given at login. DESTDIR is left out of the path, as the program
# will run from the prefix, and file(INSTALL) adds it to where the file goes.
#
# Run from cmake_install.cmake with desktop_template, desktop_entry (the
# file to write in the build folder) and desktop_program (the program's path
# below the prefix) set.

set(program "${CMAKE_INSTALL_PREFIX}/${desktop_program}")

# Exec takes a command line: the path is one argument, in double quotes when
# it holds a character reserved there, and inside the quotes ", `, $ and \
# take a backslash. A % starts a field code, so a literal one is doubled.
set(exec "${program}")
if(exec MATCHES "[ \t\n\"'\\\\<>~|&;$*?#()`]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")

# Both are then string values of the entry, where a backslash, a newline, a
# tab and a carriage return are written as escapes.
foreach(value exec program)
  string(REPLACE "\\" "\\\\" ${value} "${${value}}")
  string(REPLACE "\n" "\\n" ${value} "${${value}}")
  string(REPLACE "\t" "\\t" ${value} "${${value}}")
  string(REPLACE "\r" "\\r" ${value} "${${value}}")
endforeach()

set(DESKTOP_EXEC "${exec}")
set(DESKTOP_TRYEXEC "${program}")
configure_file("${desktop_template}" "${desktop_entry}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE FILES "${desktop_entry}")
