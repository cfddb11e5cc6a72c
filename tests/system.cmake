# The platform's system figures, sleep monitor and show request.
add_unit_test(tst_systemFigures
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/system/tst_systemFigures.cpp
    LIBS tarnix_platform_internals tarnix_app)
add_unit_test(tst_sleepMonitor
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/system/tst_sleepMonitor.cpp
    LIBS tarnix_platform Qt5::DBus)
add_unit_test(tst_showRequest
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/system/tst_showRequest.cpp
    LIBS tarnix_platform)
