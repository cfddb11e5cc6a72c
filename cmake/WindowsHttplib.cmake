# cpp-httplib for the Windows build: Debian packages it split into a header and a Linux
# library, so tarnix-http.dll compiles the single header from Debian's source package, which
# scripts/build-qt-windows.sh fetches with the rest.
include(${CMAKE_CURRENT_LIST_DIR}/DebianSource.cmake)
tarnix_debian_source(TARNIX_HTTPLIB_SOURCE "cpp-httplib-*" httplib.h)
add_library(tarnix_httplib INTERFACE)
# SYSTEM: its own code, not ours, stays out of our warnings.
target_include_directories(tarnix_httplib SYSTEM INTERFACE ${TARNIX_HTTPLIB_SOURCE})
target_link_libraries(tarnix_httplib INTERFACE ws2_32)
