# Crash restart and single instance. The end-to-end tests start build/Tarnix, which the
# full build makes before ctest runs.
add_unit_test(tst_crashrule SOURCES crash/tst_crashrule.cpp LIBS tarnix_platform)
add_unit_test(tst_startup
    SOURCES crash/tst_startup.cpp crash/TarnixRun.cpp crash/TarnixRun.h
    LIBS Qt5::Core LABELS endtoend TIMEOUT 120)
add_unit_test(tst_crashrestart
    SOURCES crash/tst_crashrestart.cpp crash/TarnixRun.cpp crash/TarnixRun.h
    LIBS Qt5::Core LABELS endtoend slow TIMEOUT 200)
add_dependencies(tst_startup Tarnix)
add_dependencies(tst_crashrestart Tarnix)
