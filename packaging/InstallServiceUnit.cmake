# Runs at install time: the unit starts tarnixd by its installed full path. Needs
# TARNIX_UNIT_SOURCE, TARNIX_BINDIR, TARNIX_UNIT_DIR and TARNIX_STAGE_DIR (a build folder).
set(TARNIX_DAEMON "${CMAKE_INSTALL_PREFIX}/${TARNIX_BINDIR}/tarnixd")
if(IS_ABSOLUTE "${TARNIX_BINDIR}")
    set(TARNIX_DAEMON "${TARNIX_BINDIR}/tarnixd")
endif()
configure_file("${TARNIX_UNIT_SOURCE}" "${TARNIX_STAGE_DIR}/tarnix.service" @ONLY)
file(INSTALL DESTINATION "${TARNIX_UNIT_DIR}" TYPE FILE FILES "${TARNIX_STAGE_DIR}/tarnix.service")
