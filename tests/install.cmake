# The installed tree: layout, menu entry, and the installed program and tools at work (the
# program with the hidapi double in front of the system's hidapi).
add_unit_test(tst_install
    SOURCES install/tst_install.cpp endtoend/StagedTarnix.cpp endtoend/StagedTarnix.h
    LIBS Qt5::Core TIMEOUT 120)
target_compile_definitions(tst_install PRIVATE TARNIX_CMAKE_COMMAND="${CMAKE_COMMAND}")
add_dependencies(tst_install Tarnix tarnixd tarnix-sensors tarnix-inventory hwsensors tarnix_http
    tarnix_hidapi_double_shared tarnix_manpages tarnix_manpages_8 tarnix_changelog)
