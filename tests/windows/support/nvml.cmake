# NVIDIA's library for the GPU sensor tests: the Linux tests' double as fake-nvml.dll beside
# them, logging every call to the file FAKE_NVML_CALLS names.
add_library(nvmlFakeDll SHARED ${TARNIX_ROOT}/tests/sensors/support/FakeNvml.cpp)
set_target_properties(nvmlFakeDll PROPERTIES PREFIX "" OUTPUT_NAME fake-nvml
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_options(nvmlFakeDll PRIVATE -static)
add_dependencies(tst_gpuSensorsWindows nvmlFakeDll)
