# hidapi's Windows backend, built from Debian's hidapi source package into hidapi.dll, which
# ships beside Tarnix.exe (so a test can put a stand-in there). scripts/build-qt-windows.sh
# fetches the source into the same cache as the Windows Qt.
include(${CMAKE_CURRENT_LIST_DIR}/DebianSource.cmake)
tarnix_debian_source(TARNIX_HIDAPI_SOURCE "hidapi-*" windows/hid.c)

add_library(tarnix_hidapi SHARED ${TARNIX_HIDAPI_SOURCE}/windows/hid.c)
target_include_directories(tarnix_hidapi PUBLIC ${TARNIX_HIDAPI_SOURCE}/hidapi
    PRIVATE ${TARNIX_HIDAPI_SOURCE}/windows)
set_target_properties(tarnix_hidapi PROPERTIES PREFIX "" OUTPUT_NAME hidapi
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} C_VISIBILITY_PRESET default)
# Its own code, not ours: built as its authors ship it, quietly.
target_compile_options(tarnix_hidapi PRIVATE -w)
target_link_options(tarnix_hidapi PRIVATE -static-libgcc)
set(HIDAPI_INCLUDE_DIRS ${TARNIX_HIDAPI_SOURCE}/hidapi)
