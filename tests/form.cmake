# The main form and its theme.
foreach(t tst_form tst_theme tst_panelstyle)
    add_unit_test(${t} SOURCES form/${t}.cpp
        LIBS tarnix_gui tarnix_appdata tarnix_widgets LABELS form)
    set_target_properties(${t} PROPERTIES AUTOUIC_SEARCH_PATHS ${CMAKE_SOURCE_DIR}/gui)
endforeach()

# Not a test: renders the themed form's pages to PNG files for a look by eye.
add_executable(form_snapshot form/formSnapshot.cpp)
target_link_libraries(form_snapshot PRIVATE tarnix_gui tarnix_appdata tarnix_widgets
    tarnix_resources)
set_target_properties(form_snapshot PROPERTIES AUTOUIC_SEARCH_PATHS ${CMAKE_SOURCE_DIR}/gui)
