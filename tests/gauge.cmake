add_unit_test(tst_roundgaugemath
    SOURCES gauge/tst_roundgaugemath.cpp
    LIBS tarnix_widgets
    LABELS gauge)
add_unit_test(tst_progressbarround
    SOURCES gauge/tst_progressbarround.cpp
    LIBS tarnix_widgets
    LABELS gauge)
add_unit_test(tst_pictures
    SOURCES gauge/tst_pictures.cpp
    LIBS tarnix_resources Qt5::Gui
    LABELS gauge)
