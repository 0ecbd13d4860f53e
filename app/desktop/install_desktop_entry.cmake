# Run by `cmake --install`: writes the desktop entry with the program's installed path, quoted as
# a desktop entry's Exec key wants it. It runs at install time so that `--prefix` is honoured.
# Expects RS_DESKTOP_TEMPLATE, RS_DESKTOP_BUILD_COPY, RS_INSTALL_BINDIR and RS_INSTALL_DATADIR.
# Its variables all start with RS_: it runs in the scope of the whole install, whose component
# tests (`STREQUAL "program"`) would read a variable named like a component.
if(IS_ABSOLUTE "${RS_INSTALL_BINDIR}")
  set(RS_DESKTOP_PROGRAM "${RS_INSTALL_BINDIR}/reelsmith")
else()
  set(RS_DESKTOP_PROGRAM "${CMAKE_INSTALL_PREFIX}/${RS_INSTALL_BINDIR}/reelsmith")
endif()
if(RS_DESKTOP_PROGRAM MATCHES "[\n\r\t]")
  message(FATAL_ERROR "A desktop entry cannot name a program whose path holds a line break: ${RS_DESKTOP_PROGRAM}")
endif()
# The quoting rule first ('\', '"', '`' and '$' get a backslash), then the string escape of the
# backslash, then '%', which would start a field code.
string(REPLACE "\\" "\\\\" RS_DESKTOP_EXEC "${RS_DESKTOP_PROGRAM}")
string(REPLACE "\"" "\\\"" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "`" "\\`" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "$" "\\$" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "\\" "\\\\" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "%" "%%" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
set(RS_DESKTOP_EXEC "\"${RS_DESKTOP_EXEC}\"")
configure_file("${RS_DESKTOP_TEMPLATE}" "${RS_DESKTOP_BUILD_COPY}" @ONLY)
if(IS_ABSOLUTE "${RS_INSTALL_DATADIR}")
  set(RS_DESKTOP_DESTINATION "${RS_INSTALL_DATADIR}/applications")
else()
  set(RS_DESKTOP_DESTINATION "${CMAKE_INSTALL_PREFIX}/${RS_INSTALL_DATADIR}/applications")
endif()
file(INSTALL "${RS_DESKTOP_BUILD_COPY}" DESTINATION "${RS_DESKTOP_DESTINATION}")
