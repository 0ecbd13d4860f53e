# Run by `cmake --install`: writes the desktop entry with the program's installed path, quoted as
# a desktop entry's Exec key wants it. It runs at install time so that `--prefix` is honoured.
# Expects RS_DESKTOP_TEMPLATE, RS_DESKTOP_BUILD_COPY, RS_INSTALL_BINDIR and RS_INSTALL_DATADIR.
if(IS_ABSOLUTE "${RS_INSTALL_BINDIR}")
  set(program "${RS_INSTALL_BINDIR}/reelsmith")
else()
  set(program "${CMAKE_INSTALL_PREFIX}/${RS_INSTALL_BINDIR}/reelsmith")
endif()
if(program MATCHES "[\n\r\t]")
  message(FATAL_ERROR "A desktop entry cannot name a program whose path holds a line break: ${program}")
endif()
# The quoting rule first ('\', '"', '`' and '$' get a backslash), then the string escape of the
# backslash, then '%', which would start a field code.
string(REPLACE "\\" "\\\\" RS_DESKTOP_EXEC "${program}")
string(REPLACE "\"" "\\\"" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "`" "\\`" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "$" "\\$" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "\\" "\\\\" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
string(REPLACE "%" "%%" RS_DESKTOP_EXEC "${RS_DESKTOP_EXEC}")
set(RS_DESKTOP_EXEC "\"${RS_DESKTOP_EXEC}\"")
configure_file("${RS_DESKTOP_TEMPLATE}" "${RS_DESKTOP_BUILD_COPY}" @ONLY)
if(IS_ABSOLUTE "${RS_INSTALL_DATADIR}")
  set(destination "${RS_INSTALL_DATADIR}/applications")
else()
  set(destination "${CMAKE_INSTALL_PREFIX}/${RS_INSTALL_DATADIR}/applications")
endif()
file(INSTALL "${RS_DESKTOP_BUILD_COPY}" DESTINATION "${destination}")
