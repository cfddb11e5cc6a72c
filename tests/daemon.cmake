# tarnixd and its service: the units it adds, the libraries it links, the systemd unit.
add_unit_test(tst_service SOURCES daemon/tst_service.cpp
    LIBS tarnix_app tarnix_device tarnix_hidapi_double)

# Headless means headless: neither QtGui nor QtWidgets, directly or through another library.
add_test(NAME tarnixd_links_no_gui
    COMMAND sh -c "readelf -d \"$0\" | grep -q 'libQt5Core' && ! ldd \"$0\" | grep -E 'libQt5(Gui|Widgets)'"
            $<TARGET_FILE:tarnixd>)
set_tests_properties(tarnixd_links_no_gui PROPERTIES LABELS "unit")

# systemd-analyze verify and security on the unit as installed, and the udev rule's groups.
add_test(NAME service_unit
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/daemon/check-unit.sh ${CMAKE_SOURCE_DIR}
            $<TARGET_FILE:tarnixd> ${CMAKE_BINARY_DIR}/packaging/60-tarnix.rules)
set_tests_properties(service_unit PROPERTIES LABELS "unit;package" SKIP_RETURN_CODE 77)
