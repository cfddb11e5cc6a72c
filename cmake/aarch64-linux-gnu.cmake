# Debian 12 arm64 from an amd64 machine: g++-aarch64-linux-gnu with the arm64 libraries and
# headers installed next to the native ones (dpkg multiarch, see scripts/build-arm64.sh).
# Qt's moc, rcc and uic stay the machine's own: the arm64 Qt packages name them under
# /usr/lib/qt5/bin, which qtbase5-dev-tools (amd64) fills.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TARNIX_CROSS_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${TARNIX_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TARNIX_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${TARNIX_CROSS_TRIPLET})

# Programs (moc, pkg-config) from the machine; libraries and packages only from the arm64
# multiarch folders, so that no amd64 library can slip into the link.
set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR}
    "/usr/lib/${TARNIX_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The arm64 executables run here under user-mode emulation, with the arm64 libraries from
# the machine's own multiarch folders (-L /: the loader and the libraries keep their paths).
find_program(TARNIX_QEMU_AARCH64 NAMES qemu-aarch64-static qemu-aarch64)
if(TARNIX_QEMU_AARCH64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TARNIX_QEMU_AARCH64} -L /)
endif()
