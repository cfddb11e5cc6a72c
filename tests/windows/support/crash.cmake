# crash_probe.exe: crashes with the restart filter installed; sits beside the test programs.
add_executable(crash_probe ${CMAKE_CURRENT_SOURCE_DIR}/crash_probe.cpp)
target_link_libraries(crash_probe PRIVATE tarnix_platform_win_internals)
target_link_options(crash_probe PRIVATE -static)
set_target_properties(crash_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
