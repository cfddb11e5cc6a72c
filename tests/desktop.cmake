# The real Tarnix in a desktop session of its own (Xvfb, trayer, a private session bus).
add_executable(statusNotifierWatcher desktop/statusNotifierWatcher.cpp)
target_link_libraries(statusNotifierWatcher PRIVATE Qt5::DBus)
set_target_properties(statusNotifierWatcher PROPERTIES RUNTIME_OUTPUT_DIRECTORY
    ${CMAKE_BINARY_DIR}/tests)
add_unit_test(tst_desktopSession
    SOURCES desktop/tst_desktopSession.cpp crash/TarnixRun.cpp crash/TarnixRun.h
    LIBS Qt5::Core LABELS endtoend xcb TIMEOUT 240)
add_dependencies(tst_desktopSession Tarnix statusNotifierWatcher)
# Tarnix on Wayland: a headless weston, the staged copy of the end-to-end tests.
add_unit_test(tst_wayland
    SOURCES desktop/tst_wayland.cpp endtoend/StagedTarnix.cpp endtoend/StagedTarnix.h
        crash/TarnixRun.cpp crash/TarnixRun.h
    LIBS Qt5::Gui LABELS endtoend slow TIMEOUT 120)
add_dependencies(tst_wayland Tarnix sensors_scripted tarnix_hidapi_double_shared)
