# Sensor acquisition: name tables, the polling thread (on the scripted library) and the user's
# sources; the stand-in libraries that these and the sensor library's tests stage.

# The scripted sensor library itself is in support/StandIns.cmake (see device.cmake); here
# the same, lacking one entry point.
add_library(sensors_scripted_incomplete SHARED sensors/support/ScriptedSensors.cpp)
target_compile_definitions(sensors_scripted_incomplete PRIVATE SCRIPTED_WITHOUT_USAGE)
set_target_properties(sensors_scripted_incomplete PROPERTIES OUTPUT_NAME hwsensors
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/scripted-sensors-incomplete
    CXX_VISIBILITY_PRESET hidden AUTOMOC OFF)
# A stand-in for NVIDIA's management library with one GPU.
add_library(sensors_fake_nvml SHARED sensors/support/FakeNvml.cpp)
set_target_properties(sensors_fake_nvml PROPERTIES OUTPUT_NAME nvidia-ml SUFFIX .so.1
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/fake-nvml
    CXX_VISIBILITY_PRESET hidden AUTOMOC OFF)

add_unit_test(tst_sensorNameTables SOURCES sensors/tst_sensorNameTables.cpp
    LIBS tarnix_sensors)
add_unit_test(tst_readingBounds SOURCES sensors/tst_readingBounds.cpp LIBS tarnix_sensors)
add_unit_test(tst_sensorPolling SOURCES sensors/tst_sensorPolling.cpp
    LIBS tarnix_sensors ${CMAKE_DL_LIBS} LABELS polling)
add_dependencies(tst_sensorPolling sensors_scripted sensors_scripted_incomplete)
add_unit_test(tst_sensorSources SOURCES sensors/tst_sensorSources.cpp LIBS tarnix_gui)
