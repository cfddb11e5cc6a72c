# hidapi's Windows backend, built from Debian's hidapi source package into hidapi.dll, which
# ships beside Tarnix.exe (so a test can put a stand-in there). scripts/build-qt-windows.sh
# fetches the source into the same cache as the Windows Qt.
if(DEFINED ENV{XDG_CACHE_HOME})
    set(_tarnix_cache $ENV{XDG_CACHE_HOME}/tarnix)
else()
    set(_tarnix_cache $ENV{HOME}/.cache/tarnix)
endif()
file(GLOB _hidapi_candidates LIST_DIRECTORIES true ${_tarnix_cache}/src/hidapi-*)
list(FILTER _hidapi_candidates EXCLUDE REGEX "\\.(gz|xz|dsc)$")
list(SORT _hidapi_candidates)
list(GET _hidapi_candidates -1 _hidapi_default)
set(TARNIX_HIDAPI_SOURCE "${_hidapi_default}" CACHE PATH "hidapi source tree (Debian source package)")
if(NOT EXISTS "${TARNIX_HIDAPI_SOURCE}/windows/hid.c")
    message(FATAL_ERROR "No hidapi source at '${TARNIX_HIDAPI_SOURCE}': run "
                        "scripts/build-qt-windows.sh or set TARNIX_HIDAPI_SOURCE")
endif()

add_library(tarnix_hidapi SHARED ${TARNIX_HIDAPI_SOURCE}/windows/hid.c)
target_include_directories(tarnix_hidapi PUBLIC ${TARNIX_HIDAPI_SOURCE}/hidapi
    PRIVATE ${TARNIX_HIDAPI_SOURCE}/windows)
set_target_properties(tarnix_hidapi PROPERTIES PREFIX "" OUTPUT_NAME hidapi
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} C_VISIBILITY_PRESET default)
# Its own code, not ours: built as its authors ship it, quietly.
target_compile_options(tarnix_hidapi PRIVATE -w)
target_link_options(tarnix_hidapi PRIVATE -static-libgcc)
set(HIDAPI_INCLUDE_DIRS ${TARNIX_HIDAPI_SOURCE}/hidapi)
