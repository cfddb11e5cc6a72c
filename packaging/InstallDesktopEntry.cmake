# Runs at install time: the menu entry names the installed command by its full path, so
# it works from any prefix, also one outside PATH. Needs TARNIX_DESKTOP_SOURCE,
# TARNIX_BINDIR, TARNIX_DATADIR and TARNIX_STAGE_DIR (a folder in the build tree).
set(exe "${CMAKE_INSTALL_PREFIX}/${TARNIX_BINDIR}/tarnix")
if(IS_ABSOLUTE "${TARNIX_BINDIR}")
    set(exe "${TARNIX_BINDIR}/tarnix")
endif()
# Quoted as an Exec argument, then escaped as a string value.
string(REPLACE "\\" "\\\\\\\\" quoted "${exe}")
string(REPLACE "\"" "\\\\\"" quoted "${quoted}")
string(REPLACE "$" "\\\\$" quoted "${quoted}")
string(REPLACE "`" "\\\\`" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")

file(READ "${TARNIX_DESKTOP_SOURCE}" entry)
string(REPLACE "Exec=Tarnix" "Exec=\"${quoted}\"" entry "${entry}")
set(staged "${TARNIX_STAGE_DIR}/tarnix.desktop")
file(WRITE "${staged}" "${entry}")

set(dest "${TARNIX_DATADIR}/applications")
if(NOT IS_ABSOLUTE "${dest}")
    set(dest "${CMAKE_INSTALL_PREFIX}/${dest}")
endif()
file(INSTALL DESTINATION "${dest}" TYPE FILE FILES "${staged}")
