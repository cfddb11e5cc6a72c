# The Windows installer (scripts/package-msi.sh) built from a stand-in staging folder and
# installed, upgraded and removed under wine64; needs neither the Windows Qt nor a display.
add_test(NAME installer_msi
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check-msi.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR})
set_tests_properties(installer_msi PROPERTIES LABELS "wine;slow" TIMEOUT 600
    SKIP_RETURN_CODE 77)
