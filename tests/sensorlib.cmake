# Our sensor libraries: the Linux one through its exported functions and the tool, its value
# files, and the Win32-free parts of the Windows one.
add_unit_test(tst_sensorLibrary SOURCES sensorlib/tst_sensorLibrary.cpp
    LIBS tarnix_sensors hwsensors_core LABELS sensorlib)
add_dependencies(tst_sensorLibrary hwsensors tarnix-sensors sensors_fake_nvml)
add_unit_test(tst_valueFile SOURCES sensorlib/tst_valueFile.cpp LIBS hwsensors_core tarnix_sysio
    LABELS sensorlib)
add_unit_test(tst_windowsReadings SOURCES sensorlib/tst_windowsReadings.cpp
    LIBS tarnix_sensors hwsensors_windows_readings LABELS sensorlib)
# The Win32-free part of the Windows library's GPU sensors, on fake thunks and samples.
add_unit_test(tst_windowsGpuReadings SOURCES sensorlib/tst_windowsGpuReadings.cpp
    ${CMAKE_SOURCE_DIR}/sensorlib/windows/GpuReadings.cpp
    ${CMAKE_SOURCE_DIR}/sensorlib/windows/GpuAdapters.cpp
    ${CMAKE_SOURCE_DIR}/sensorlib/windows/NvmlSessionWindows.cpp
    LIBS hwsensors_core LABELS sensorlib)
add_dependencies(tst_windowsGpuReadings sensors_fake_nvml)
target_include_directories(tst_windowsGpuReadings PRIVATE ${CMAKE_SOURCE_DIR}/sensorlib/windows)
# GPUs left asleep: NVML and the cards' files on a fixture sysfs, with a counting NVML double.
add_unit_test(tst_gpuPower SOURCES sensorlib/tst_gpuPower.cpp LIBS hwsensors_core
    LABELS sensorlib)
add_dependencies(tst_gpuPower sensors_fake_nvml)
