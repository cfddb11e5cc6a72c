# The real Tarnix driven end to end: staged copies with the scripted sensor library and the
# hidapi double (built as a drop-in libhidapi-hidraw.so.0).
add_unit_test(tst_endtoend
    SOURCES endtoend/tst_endtoend.cpp endtoend/StagedTarnix.cpp endtoend/StagedTarnix.h
        crash/TarnixRun.cpp crash/TarnixRun.h
    LIBS Qt5::Core LABELS endtoend TIMEOUT 240)
add_dependencies(tst_endtoend Tarnix sensors_scripted tarnix_hidapi_double_shared)

# tarnixd driven end to end beside Tarnix: the same reports, signals, --check, the start
# without a display and one feeder across two processes.
add_unit_test(tst_daemon
    SOURCES endtoend/tst_daemon.cpp endtoend/StagedTarnix.cpp endtoend/StagedTarnix.h
        crash/TarnixRun.cpp crash/TarnixRun.h
    LIBS Qt5::Core LABELS endtoend TIMEOUT 300)
add_dependencies(tst_daemon Tarnix tarnixd sensors_scripted tarnix_hidapi_double_shared)
