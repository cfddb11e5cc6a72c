# The headless monitor, in-process and without a widget: the scripted sensor library sits beside
# the test as libhwsensors.so, the hidapi double is linked in.
add_unit_test(tst_monitor SOURCES app/tst_monitor.cpp
    LIBS tarnix_app tarnix_core tarnix_device tarnix_hidapi_double tarnix_test_support
        Threads::Threads
    LABELS controller TIMEOUT 120)
set_target_properties(tst_monitor PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/app)
add_dependencies(tst_monitor sensors_scripted)
add_custom_command(TARGET tst_monitor POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:sensors_scripted>
            $<TARGET_FILE_DIR:tst_monitor>/libhwsensors.so)
