# Device link: the report builder and the HID transport, against the hidapi double.
add_unit_test(tst_deviceframe
    SOURCES device/tst_deviceframe.cpp
    LIBS tarnix_device
    LABELS device)
