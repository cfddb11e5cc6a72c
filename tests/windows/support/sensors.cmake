# Test DLLs for the sensor loader: HWiNFO32.dll beside the tests, exporting the ten functions
# by ordinal only, and one lacking an ordinal in sensors-missing/.
foreach(variant Complete MissingUsage)
    add_library(sensors${variant}Dll SHARED sensorsTestDll.c sensors${variant}.def)
    # Both would write the same libHWiNFO32.dll.a here, which Ninja refuses.
    set_target_properties(sensors${variant}Dll PROPERTIES PREFIX "" OUTPUT_NAME HWiNFO32
        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${variant})
    target_link_options(sensors${variant}Dll PRIVATE -static-libgcc)
endforeach()
set_target_properties(sensorsCompleteDll PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_target_properties(sensorsMissingUsageDll PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/sensors-missing)
