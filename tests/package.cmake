# The Debian package, label "package": built, checked with lintian, installed into a
# throw-away root, run there and removed again (package/check-deb.sh), and its AppStream data.
add_test(NAME package_deb
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package/check-deb.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR})
set_tests_properties(package_deb PROPERTIES LABELS package TIMEOUT 900 SKIP_RETURN_CODE 77
    RUN_SERIAL ON)
add_test(NAME package_metainfo
    COMMAND appstreamcli validate --no-net
            ${CMAKE_BINARY_DIR}/packaging/example.tarnix.Tarnix.metainfo.xml)
set_tests_properties(package_metainfo PROPERTIES LABELS package)
# The package in a clean debootstrapped root (label "slow": the first run downloads a minimal
# Debian from the machine's mirror into the build folder, later runs copy it).
add_test(NAME package_clean_root
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package/clean-root.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR})
set_tests_properties(package_clean_root PROPERTIES LABELS "package;slow" TIMEOUT 1800
    SKIP_RETURN_CODE 77 RUN_SERIAL ON)
