# The history's pure parts: the ring, the alert rules, the record's format and its writer.
add_unit_test(tst_history
    SOURCES history/tst_alertRules.cpp history/tst_historyRing.cpp history/tst_readingsCsv.cpp
            history/tst_history.cpp history/HistoryTests.h
    LIBS tarnix_history tarnix_test_support
    LABELS history)
