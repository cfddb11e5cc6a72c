# The main window as the controller, in-process: the scripted sensor library sits beside the
# test as libhwsensors.so, the hidapi double is linked in, the shipped configDir is copied.
add_unit_test(tst_controller SOURCES controller/tst_controller.cpp
    LIBS tarnix_gui tarnix_app tarnix_appdata tarnix_widgets tarnix_resources tarnix_hidapi_double
        tarnix_test_support Threads::Threads
    LABELS controller TIMEOUT 120)
set_target_properties(tst_controller PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/controller)
add_dependencies(tst_controller sensors_scripted)
add_custom_command(TARGET tst_controller POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/configDir
            $<TARGET_FILE_DIR:tst_controller>/configDir
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:sensors_scripted>
            $<TARGET_FILE_DIR:tst_controller>/libhwsensors.so)

# The "Sources" dialog on one pass of the scripted sensors, saved as a PNG by
# scripts/screenshots.sh.
add_executable(sourcesShot controller/sourcesShot.cpp)
target_link_libraries(sourcesShot PRIVATE tarnix_gui tarnix_appdata tarnix_resources
    PkgConfig::HIDAPI)
set_target_properties(sourcesShot PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/controller)
add_dependencies(sourcesShot tst_controller)

# The "History" panel over ten minutes that end with a pass of the scripted sensors, saved as
# a PNG by scripts/screenshots.sh.
add_executable(historyShot controller/historyShot.cpp)
target_link_libraries(historyShot PRIVATE tarnix_gui tarnix_app tarnix_appdata tarnix_history
    tarnix_resources PkgConfig::HIDAPI)
set_target_properties(historyShot PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/controller)
add_dependencies(historyShot tst_controller)
