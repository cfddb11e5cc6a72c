# The stand-ins that running a real executable needs: the hidapi double (static and as
# libhidapi-hidraw.so.0) and the scripted sensor library. Included by the tests, and on its
# own by a build without tests that is run elsewhere (TARNIX_TEST_DOUBLES: the arm64 build,
# whose executables the native build's tests run under emulation).
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/hidapi_double
    ${CMAKE_BINARY_DIR}/tests/support/hidapi_double)

# The scripted sensor library, a libhwsensors.so whose readings come from a script file
# (TARNIX_SCRIPTED_SENSORS); end-to-end tests stage it beside the executable.
add_library(sensors_scripted SHARED ${CMAKE_CURRENT_LIST_DIR}/../sensors/support/ScriptedSensors.cpp)
set_target_properties(sensors_scripted PROPERTIES OUTPUT_NAME hwsensors
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/scripted-sensors
    CXX_VISIBILITY_PRESET hidden AUTOMOC OFF)
