# Test DLLs for the sensor loader: HWiNFO32.dll beside the tests, exporting the ten functions
# by ordinal only, and one lacking an ordinal in sensors-missing/.
foreach(variant Complete MissingUsage)
    add_library(sensors${variant}Dll SHARED sensorsTestDll.c sensors${variant}.def)
    set_target_properties(sensors${variant}Dll PROPERTIES PREFIX "" OUTPUT_NAME HWiNFO32)
    target_link_options(sensors${variant}Dll PRIVATE -static-libgcc)
endforeach()
set_target_properties(sensorsCompleteDll PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_target_properties(sensorsMissingUsageDll PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/sensors-missing)
