# The HTTP endpoint's texts, in-process.
add_unit_test(tst_endpointFormats SOURCES endpoint/tst_endpointFormats.cpp
    LIBS tarnix_endpoint tarnix_app LABELS endpoint)

# Real clients against the real program (TARNIX_ENDPOINT_PROGRAM in the environment names
# another, such as build/tarnixd): promtool, a Prometheus server, curl, Python's json, slow
# clients. Exit 77 is a skip (a client not installed).
add_test(NAME endpoint_clients
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/run-isolated.sh
            ${CMAKE_CURRENT_SOURCE_DIR}/endpoint/endpoint-clients.py
            ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(endpoint_clients PROPERTIES LABELS "endpoint;endtoend" TIMEOUT 240
    SKIP_RETURN_CODE 77)
add_unit_test(tst_endpointServer SOURCES endpoint/tst_endpointServer.cpp
    LIBS tarnix_endpoint tarnix_app tarnix_device tarnix_hidapi_double tarnix_test_support
    LABELS endpoint
    TIMEOUT 120)
add_dependencies(tst_endpointServer tarnix_http)
set_tests_properties(tst_endpointServer PROPERTIES
    ENVIRONMENT TARNIX_HTTP_MODULE=$<TARGET_FILE:tarnix_http>)
