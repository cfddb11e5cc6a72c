# The Debian package: `cpack -G DEB` in the build folder, or `cmake --build build --target
# package`. Everything the install rules put under /usr goes into one package, the udev rule
# included; dpkg-shlibdeps computes the dependencies.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tarnix")
set(CPACK_PACKAGE_VENDOR "Tarnix")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_NAME "tarnix")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARNIX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hardware monitor for a small USB display")
# The extended description: CPack indents each line and writes an empty one as " .".
set(CPACK_PACKAGE_DESCRIPTION
    "Tarnix reads the live sensor values of the PC (CPU and GPU temperature,
usage, clock, fan and power), adds memory and system drive figures and sends
them with the date and time to a small USB display once a second. Its window
shows the same values in round gauges and bars and lists the PC's inventory;
it lives in the tray and starts at logon. On a machine without a desktop,
tarnixd does the same without a window, as the systemd service tarnix
(installed disabled).

The package includes the udev rule that gives the logged-in user access to
the display, and two command-line tools: tarnix-sensors and tarnix-inventory.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst"
    "${CMAKE_CURRENT_SOURCE_DIR}/debian/prerm"
    "${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
