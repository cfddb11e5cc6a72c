# The layer order held in the sources: no folder includes a header of a higher layer (the
# links are checked when configuring, see cmake/TarnixLayers.cmake).
set(check_includes ${CMAKE_CURRENT_SOURCE_DIR}/layers/check-includes.sh)
add_test(NAME layers COMMAND ${check_includes} ${CMAKE_SOURCE_DIR} ${TARNIX_LAYERS})
# The check itself, on a tree with one upward and one outward include: both are reported.
add_test(NAME layers_reports
    COMMAND ${check_includes} ${CMAKE_CURRENT_SOURCE_DIR}/layers/upward low high)
set_tests_properties(layers_reports PROPERTIES PASS_REGULAR_EXPRESSION
    "low/Low.cpp:2: includes \"../outside.h\" from outside its folder\nlow/Low.cpp:3: low \\(layer 1\\) includes \"high/High.h\" \\(layer 2\\)")
set_tests_properties(layers layers_reports PROPERTIES LABELS layers TIMEOUT 60)
