# The window's units: chrome rules, the hardware page and the logon task.
add_unit_test(tst_windowChrome
    SOURCES gui/tst_windowChrome.cpp
    LIBS tarnix_gui)
add_unit_test(tst_hardwarePage SOURCES gui/tst_hardwarePage.cpp
    LIBS tarnix_gui tarnix_inventory)
add_unit_test(tst_startupTask SOURCES gui/tst_startupTask.cpp
    LIBS tarnix_gui tarnix_platform_internals)
add_unit_test(tst_highDpi SOURCES gui/tst_highDpi.cpp LIBS tarnix_gui)
