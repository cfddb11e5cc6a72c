add_unit_test(tst_logOut SOURCES core/tst_logOut.cpp LIBS tarnix_log tarnix_core)
add_unit_test(tst_appConfig SOURCES core/tst_appConfig.cpp LIBS tarnix_appdata tarnix_resources)
add_unit_test(tst_applicationName SOURCES core/tst_applicationName.cpp LIBS tarnix_core)
add_unit_test(tst_clock SOURCES core/tst_clock.cpp LIBS tarnix_core)
