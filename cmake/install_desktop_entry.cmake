# Run by `cmake --install`: writes the desktop entry with its Exec line
# naming the program where this install puts it, whatever the prefix, and
# refreshes the desktop's databases of the prefix when the install goes
# straight into it (a staged install, with DESTDIR, leaves that to the
# package). Expects OSTREVAN_ENTRY (the entry's source), OSTREVAN_BINDIR and
# OSTREVAN_DATADIR (as GNUInstallDirs gives them).

foreach(dir BINDIR DATADIR)
  if(IS_ABSOLUTE "${OSTREVAN_${dir}}")
    set(${dir} "${OSTREVAN_${dir}}")
  else()
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${OSTREVAN_${dir}}")
  endif()
endforeach()

# The program as one Exec argument: quoted where the path holds a character
# that desktop entries reserve, percent signs doubled, and backslashes
# doubled once more because the value is itself an escaped string.
set(argument "${BINDIR}/ostrevan")
if(argument MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
  string(REPLACE "\\" "\\\\" argument "${argument}")
  string(REPLACE "\"" "\\\"" argument "${argument}")
  string(REPLACE "`" "\\`" argument "${argument}")
  string(REPLACE "$" "\\$" argument "${argument}")
  set(argument "\"${argument}\"")
endif()
string(REPLACE "%" "%%" argument "${argument}")
string(REPLACE "\\" "\\\\" argument "${argument}")

file(READ "${OSTREVAN_ENTRY}" entry)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=${argument} %f" entry "${entry}")
set(target "$ENV{DESTDIR}${DATADIR}/applications/ostrevan.desktop")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")

if("$ENV{DESTDIR}" STREQUAL "")
  find_program(update_desktop_database update-desktop-database)
  find_program(update_mime_database update-mime-database)
  if(update_desktop_database)
    execute_process(COMMAND "${update_desktop_database}" -q "${DATADIR}/applications")
  endif()
  if(update_mime_database)
    execute_process(COMMAND "${update_mime_database}" "${DATADIR}/mime")
  endif()
endif()
