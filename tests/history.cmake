# The history's pure parts: the ring, the alert rules, the record's format and its writer.
add_unit_test(tst_history
    SOURCES history/tst_alertRules.cpp history/tst_historyRing.cpp history/tst_readingsCsv.cpp
            history/tst_history.cpp history/HistoryTests.h
    LIBS tarnix_history tarnix_test_support
    LABELS history)

# End to end: the real Tarnix, a private session bus and a stand-in notification service.
add_executable(notifyStandIn history/notifyStandIn.cpp)
target_link_libraries(notifyStandIn PRIVATE Qt5::DBus)
set_target_properties(notifyStandIn PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_unit_test(tst_historyEndToEnd
    SOURCES history/tst_historyEndToEnd.cpp endtoend/StagedTarnix.cpp endtoend/StagedTarnix.h
    LIBS tarnix_history LABELS endtoend sessionbus TIMEOUT 120)
add_dependencies(tst_historyEndToEnd Tarnix sensors_scripted tarnix_hidapi_double_shared
    notifyStandIn)

# The History panel's axis and pointer lookup.
add_unit_test(tst_plotScale SOURCES history/tst_plotScale.cpp LIBS tarnix_gui tarnix_hidapi LABELS history)

# The Alerts dialog's units.
add_unit_test(tst_alertsDialog SOURCES history/tst_alertsDialog.cpp
    LIBS tarnix_gui tarnix_hidapi LABELS history)
