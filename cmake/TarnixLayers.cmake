# The order the libraries stand in, lowest first. A folder holds one library; its code may
# link and include what lies in its own layer or below, never above. One table serves both
# checks: tarnix_check_layers() below fails the configure step on an upward link, and the
# `layers` test (tests/layers/check-includes.sh) fails on an upward #include.
include_guard(GLOBAL)

set(TARNIX_LAYERS
    "model core wmic logCollect"              # 1 plain data and QtCore helpers
    "sysio platform"                          # 2 the operating system
    "sensors sensorlib device inventory"      # 3 what the program reads and drives
    "app"                                     # 4 the program without its window
    "endpoint history"                        # 5 services over the program
    "platformgui widgets appdata gui images"  # 6 what draws
    "programs tools")                         # 7 the executables
# Outside libraries that only a drawing layer may link.
set(TARNIX_LAYER_Qt5::Gui 6)
set(TARNIX_LAYER_Qt5::Widgets 6)
# Folders outside the table (tests, fuzz, bench) sit above everything: no library links them.
set(TARNIX_LAYER_OUTSIDE 99)

# The layer of a top-level folder of the source tree; empty when the table does not name it.
function(tarnix_layer_of_folder folder out)
    set(layer 0)
    foreach(folders IN LISTS TARNIX_LAYERS)
        math(EXPR layer "${layer} + 1")
        string(REPLACE " " ";" folders "${folders}")
        if(folder IN_LIST folders)
            set(${out} ${layer} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# The layer of a target: its folder's, an outside library's from the table, or empty when
# the check has no say (other outside libraries, the root's wrappers).
function(_tarnix_layer_of_target target out)
    set(${out} "" PARENT_SCOPE)
    if(DEFINED TARNIX_LAYER_${target})
        set(${out} ${TARNIX_LAYER_${target}} PARENT_SCOPE)
        return()
    endif()
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        return()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH relative "${CMAKE_SOURCE_DIR}" "${dir}")
    if(relative STREQUAL "")
        return()
    endif()
    string(REGEX REPLACE "/.*" "" folder "${relative}")
    tarnix_layer_of_folder(${folder} layer)
    if(layer STREQUAL "")
        set(layer ${TARNIX_LAYER_OUTSIDE})
    endif()
    set(${out} ${layer} PARENT_SCOPE)
endfunction()

function(_tarnix_targets_below dir out)
    get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        _tarnix_targets_below("${sub}" more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Walks every target of the tree's layered folders and stops the configure step at the first
# link to a higher layer. Call it at the end of the root CMakeLists.txt.
function(tarnix_check_layers)
    _tarnix_targets_below("${CMAKE_SOURCE_DIR}" targets)
    foreach(target IN LISTS targets)
        _tarnix_layer_of_target(${target} layer)
        if(layer STREQUAL "" OR layer EQUAL TARNIX_LAYER_OUTSIDE)
            continue()
        endif()
        get_target_property(type ${target} TYPE)
        set(links)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(links ${target} LINK_LIBRARIES)
        endif()
        get_target_property(interface_links ${target} INTERFACE_LINK_LIBRARIES)
        foreach(link IN LISTS links interface_links)
            # A static library's private links come back as $<LINK_ONLY:name>.
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(NOT TARGET "${link}")
                continue()
            endif()
            _tarnix_layer_of_target(${link} link_layer)
            if(NOT link_layer STREQUAL "" AND link_layer GREATER layer)
                message(FATAL_ERROR "Layers: ${target} (layer ${layer}) links ${link} "
                    "(layer ${link_layer}); see cmake/TarnixLayers.cmake")
            endif()
        endforeach()
    endforeach()
endfunction()
