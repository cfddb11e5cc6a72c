# Device link: the report builder and the HID transport, against the hidapi double.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/StandIns.cmake)

add_unit_test(tst_deviceframe
    SOURCES device/tst_deviceframe.cpp
    LIBS tarnix_device
    LABELS device)

add_unit_test(tst_hidtransport
    SOURCES device/tst_hidtransport.cpp
    LIBS tarnix_device tarnix_hidapi_double Threads::Threads
    LABELS device transport
    TIMEOUT 60)

add_unit_test(tst_deviceChange
    SOURCES device/tst_deviceChange.cpp
    LIBS tarnix_device tarnix_platform)
