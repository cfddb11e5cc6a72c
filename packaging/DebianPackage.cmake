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
# A cross build (cmake/aarch64-linux-gnu.cmake) is packaged for the machine it targets: the
# Debian architecture of the compiler's triplet, which dpkg-shlibdeps is told as well (cpack
# reads the file below first), so that it looks up the target's libraries and the symbols
# files of the target's packages.
if(CMAKE_CROSSCOMPILING AND CMAKE_LIBRARY_ARCHITECTURE)
    execute_process(
        COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
        OUTPUT_VARIABLE deb_host_arch OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE deb_arch_result ERROR_QUIET)
    if(NOT deb_arch_result EQUAL 0 OR NOT deb_host_arch)
        message(FATAL_ERROR "No Debian architecture for ${CMAKE_LIBRARY_ARCHITECTURE}")
    endif()
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "${deb_host_arch}")
    set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_BINARY_DIR}/CPackTargetArchitecture.cmake")
    file(WRITE "${CPACK_PROJECT_CONFIG_FILE}" "set(ENV{DEB_HOST_ARCH} ${deb_host_arch})\n")
endif()
include(CPack)
