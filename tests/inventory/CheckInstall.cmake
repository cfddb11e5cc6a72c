# Installs the build into a throw-away prefix and checks the menu entry and icon; the udev
# rule (its own component) would go to the real system folder and is left out.
# Needs BUILD_DIR and PREFIX.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                        --component Unspecified
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(f bin/Tarnix bin/configDir/appConfig.ini share/applications/tarnix.desktop
          share/icons/hicolor/scalable/apps/tarnix.svg)
    if(NOT EXISTS "${PREFIX}/${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/tarnix.desktop" exec REGEX "^Exec=")
string(REPLACE "$" "\\\\$" quotedPrefix "${PREFIX}")
if(NOT exec STREQUAL "Exec=\"${quotedPrefix}/bin/Tarnix\"")
    message(FATAL_ERROR "unexpected ${exec}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
